#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

// A key pressed or released on window, put in SDL's queue as the keyboard would put it there.
inline void pushKey(SDL_Window* window, Uint32 type, SDL_Scancode scancode) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = SDL_GetWindowID(window);
    e.key.keysym.scancode = scancode;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
}
