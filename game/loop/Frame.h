#pragma once

// One frame of play: erase everything, move everything, draw everything, present.
void runFrame();
