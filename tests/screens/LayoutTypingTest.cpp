// Names are typed in the player's own keyboard layout: SDL's key events as an AZERTY, a QWERTZ and
// a US keyboard send them, through the platform's real event source into the name prompt.
#include <SDL.h>

#include <string>
#include <utility>
#include <vector>

#include "game/screens/TextPrompt.h"
#include "platform/Platform.h"
#include "support/ScreenFixture.h"

namespace quelvane {
namespace {

// A key as a keyboard sends it: the key's place (scancode), what the layout calls it (key code),
// and the text it types, if any.
struct Stroke {
    SDL_Scancode place;
    SDL_Keycode code;
    const char* text;
};

void push(const Stroke& s, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = s.place;
    e.key.keysym.sym = s.code;
    SDL_PushEvent(&e);
    if (down && s.text) {
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        SDL_strlcpy(text.text.text, s.text, sizeof text.text.text);
        SDL_PushEvent(&text);
    }
}

// Types the strokes, Shift held for those marked, and Enter.
void type(const std::vector<std::pair<Stroke, bool>>& strokes) {
    const Stroke shift{SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, nullptr};
    for (const auto& [stroke, shifted] : strokes) {
        if (shifted)
            push(shift, true);
        push(stroke, true);
        push(stroke, false);
        if (shifted)
            push(shift, false);
    }
    push({SDL_SCANCODE_RETURN, SDLK_RETURN, nullptr}, true);
}

// The prompt reads SDL's own events here, not scripted ones.
class LayoutTypingTest : public ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        platform::useEventSource(nullptr);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    TextPrompt prompt{.flags = TextPrompt::DrawPrompt, .prompt = "Name:", .maxLength = 33};
};

TEST_F(LayoutTypingTest, ZoeQuangOnAnAzertyKeyboardIsStoredAsTyped) {
    // On AZERTY the letters A, Q, Z and W sit where a US keyboard has Q, A, W and Z.
    type({{{SDL_SCANCODE_W, SDLK_z, "Z"}, true},
          {{SDL_SCANCODE_O, SDLK_o, "o"}, false},
          {{SDL_SCANCODE_E, SDLK_e, "e"}, false},
          {{SDL_SCANCODE_SPACE, SDLK_SPACE, " "}, false},
          {{SDL_SCANCODE_A, SDLK_q, "Q"}, true},
          {{SDL_SCANCODE_U, SDLK_u, "u"}, false},
          {{SDL_SCANCODE_Q, SDLK_a, "a"}, false},
          {{SDL_SCANCODE_N, SDLK_n, "n"}, false},
          {{SDL_SCANCODE_G, SDLK_g, "g"}, false}});
    EXPECT_EQ(promptText(prompt), "Zoe Quang");
}

TEST_F(LayoutTypingTest,
       AQwertzKeyboardTypesItsOwnLettersAndSignsAndKeysThatTypeNothingAreIgnored) {
    // On QWERTZ Z and Y change places; Shift with 7 gives "/", and the key right of 0 types sharp
    // s, which is Latin-1's 0xDF. F1 and the arrows type nothing.
    type({{{SDL_SCANCODE_Y, SDLK_z, "z"}, false},
          {{SDL_SCANCODE_F1, SDLK_F1, nullptr}, false},
          {{SDL_SCANCODE_Z, SDLK_y, "y"}, false},
          {{SDL_SCANCODE_LEFT, SDLK_LEFT, nullptr}, false},
          {{SDL_SCANCODE_7, SDLK_7, "/"}, true},
          {{SDL_SCANCODE_MINUS, 0xDF, "\xC3\x9F"}, false},
          // A character beyond Latin-1 (an euro sign) types nothing rather than something else.
          {{SDL_SCANCODE_E, SDLK_e, "\xE2\x82\xAC"}, false}});
    EXPECT_EQ(promptText(prompt), "zy/\xDF");
}

TEST_F(LayoutTypingTest, OnAUsKeyboardNamesComeOutAsTheyAlwaysHave) {
    type({{{SDL_SCANCODE_Z, SDLK_z, "Z"}, true},
          {{SDL_SCANCODE_O, SDLK_o, "o"}, false},
          {{SDL_SCANCODE_1, SDLK_1, "!"}, true},
          {{SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, nullptr}, false},
          {{SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, ":"}, true}});
    EXPECT_EQ(promptText(prompt), "Zo:");
}

// The game's controls keep following the keys' places: the AZERTY key labelled A, where a US
// keyboard has Q, is Q to the game, whatever it types.
TEST_F(LayoutTypingTest, ControlsFollowThePlaceOfTheKey) {
    push({SDL_SCANCODE_Q, SDLK_a, "a"}, true);
    platform::Message m;
    ASSERT_TRUE(platform::peekMessage(m));
    EXPECT_EQ(m.kind, platform::MessageKind::KeyDown);
    EXPECT_EQ(m.key, 'Q');
    EXPECT_EQ(m.typed, 'a');
    EXPECT_NE(platform::asyncKeyState('Q') & 0x8000, 0);
}

}  // namespace
}  // namespace quelvane
