// SDL's key and mouse codes as the form's handlers take them (the system's virtual key codes,
// its shift state and mouse buttons).
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/form_window.h"

namespace tovrin {

// The virtual key code of an SDL key: letters 'A'..'Z', digits '0'..'9', the shift, control
// and alt keys, the function, arrow and editing keys; 0xFF for a key without one.
uint16_t VirtualKeyOf(SDL_Keycode key);
TShiftState ShiftStateOf(uint16_t sdlModifiers);
// mbLeft, mbRight, mbMiddle; the extra buttons count as the middle one.
TMouseButton MouseButtonOf(uint8_t sdlButton);

}  // namespace tovrin
