// Feldane: custom controls, bound by ordinal.
#ifndef QUILLON_FELDANE_H
#define QUILLON_FELDANE_H

#include "companion_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// Window class of the static text control with a settable background.
#define FELDANE_STATIC_CLASS "FELDANESTATIC32"
// Message setting the control's background colour (lParam: 0x00BBGGRR).
#define FELDANE_SET_BACKGROUND (0x0400 + 11)

// 49: registers FELDANE_STATIC_CLASS; called before any window is created.
void COMPANIONAPI FeldaneRegisterControls(void);

#ifdef __cplusplus
}
#endif

#endif
