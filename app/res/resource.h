// Resource identifiers of Fuelwise.exe.
#pragma once

#define IDI_FUELWISE 1
