#include "platform/sdl/sdl_keys.h"

namespace tovrin {

uint16_t VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint16_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint16_t>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<uint16_t>(0x70 + (key - SDLK_F1));
  switch (key) {
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_TAB:
      return 0x09;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 0x0D;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 0x11;
    case SDLK_LALT:
    case SDLK_RALT:
      return 0x12;
    case SDLK_PAUSE:
      return 0x13;
    case SDLK_CAPSLOCK:
      return 0x14;
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_PAGEUP:
      return 0x21;
    case SDLK_PAGEDOWN:
      return 0x22;
    case SDLK_END:
      return 0x23;
    case SDLK_HOME:
      return 0x24;
    case SDLK_LEFT:
      return 0x25;
    case SDLK_UP:
      return 0x26;
    case SDLK_RIGHT:
      return 0x27;
    case SDLK_DOWN:
      return 0x28;
    case SDLK_INSERT:
      return 0x2D;
    case SDLK_DELETE:
      return 0x2E;
    case SDLK_LGUI:
      return 0x5B;
    case SDLK_RGUI:
      return 0x5C;
    default:
      return 0xFF;
  }
}

TShiftState ShiftStateOf(uint16_t sdlModifiers) {
  TShiftState state = 0;
  if (sdlModifiers & KMOD_SHIFT) state |= ssShift;
  if (sdlModifiers & KMOD_ALT) state |= ssAlt;
  if (sdlModifiers & KMOD_CTRL) state |= ssCtrl;
  return state;
}

TMouseButton MouseButtonOf(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      return TMouseButton::mbLeft;
    case SDL_BUTTON_RIGHT:
      return TMouseButton::mbRight;
    default:
      return TMouseButton::mbMiddle;
  }
}

}  // namespace tovrin
