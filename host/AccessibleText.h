// Captions as assistive technology reads them. Portable: no platform header.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// The caption as assistive technology reads it: the access-key marks ("&"
// before a letter) taken out, "&&" read as one ampersand, and a key written
// in brackets after the caption ("设置(&S)") taken out whole.
std::u16string WithoutAccessKeyMarks(std::u16string_view caption);

// A field's name read from the label placed before it, as dialogs name their
// fields: the access-key marks and the closing colon (":" or "：") go, and so do
// the blanks that only spread two Chinese characters apart ("省  份:" reads
// "省份"); blanks between words stay.
std::u16string FieldNameFromLabel(std::u16string_view caption);

// A text of several lines (a tooltip) read as one: each line break ("\r\n",
// "\r" or "\n") becomes one space, with no space doubled around it.
std::u16string OnOneLine(std::u16string_view text);

}  // namespace fw
