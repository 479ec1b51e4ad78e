#include "game/screens/Screen.h"

namespace quelvane {

Screen currentScreen = Screen::Play;

const char* screenName(Screen screen) {
    switch (screen) {
        case Screen::Title:
            return "title";
        case Screen::Help:
            return "help";
        case Screen::GameOver:
            return "gameover";
        case Screen::Name:
            return "name";
        case Screen::Scores:
            return "scores";
        case Screen::World:
            return "world";
        default:
            return "play";
    }
}

}  // namespace quelvane
