// A picture from an http URL, fetched and decoded on a worker thread while
// the caller goes on with other work, and handed over when the caller comes
// to need it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "host/Picture.h"

namespace fw {

// The picture at `url` as the host's own (a copy that owns its bitmap or icon,
// usable on any thread); null when there is none. The body is fetched as every
// page of the program is (HttpGet: the same header, limits and proxy) and
// decoded by the picture object's own loader (LoadPictureBytes), which is
// what the path-or-URL loader does with what it downloads; like that loader,
// it does not judge the status: a picture sent with an error status is shown.
// Unreachable sites, answers that are no picture and empty answers give none.
// The calling thread must have COM initialised, apartment-threaded.
std::shared_ptr<Picture> FetchPicture(std::wstring_view url);

// FetchPicture on a thread of its own, started by the constructor. The
// thread initialises COM for itself; a load that throws gives no picture, as
// it would on the caller's thread when the caller skips the failing step.
class PicturePrefetch {
 public:
  explicit PicturePrefetch(std::wstring url);
  // A load still running finishes on its own; its picture is dropped.
  ~PicturePrefetch();
  PicturePrefetch(const PicturePrefetch&) = delete;
  PicturePrefetch& operator=(const PicturePrefetch&) = delete;

  // The picture, once: waits for the load when it is still running. The
  // caller's posted messages stay queued meanwhile (the load blocks its caller
  // as a load on its own thread would); messages other threads send it are
  // still answered, so a window the worker talks to cannot stall both. When
  // no thread could be started the load runs here, now.
  std::shared_ptr<Picture> Take();
  // Whether the load has ended (the picture is ready to be taken).
  bool Done() const;

 private:
  struct Load;
  std::shared_ptr<Load> m_load;
  std::wstring m_url;
  bool m_taken = false;
};

}  // namespace fw
