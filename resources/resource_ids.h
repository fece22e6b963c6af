#pragma once
// Resource ids shared by the .rc file and the code.
#define IDI_VEVIDAV 1
#define IDR_BACKGROUND 2
