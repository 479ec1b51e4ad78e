#pragma once

#include <cstdint>
#include <string>

#include "game/gfx/BitmapFile.h"
#include "game/gfx/Colour.h"
#include "game/gfx/Pen.h"
#include "game/gfx/Rect.h"
#include "game/gfx/Surface.h"

namespace platform {
class Screen;
}

namespace quelvane {

class Font;

enum class DisplayState : uint32_t { Ready = 1, Created = 2, Failed = 3 };

struct DisplayStatus {
    bool locked = false;
    bool dcHeld = false;
    DisplayState state = DisplayState::Created;
    Rect screenRect;
};

// Cooperative flags the game passes to Init; only the full-screen bit changes anything here.
inline constexpr uint32_t kCooperativeFullscreen = 0x01;
inline constexpr uint32_t kCooperativeAllowReboot = 0x02;
inline constexpr uint32_t kCooperativeExclusive = 0x10;

// The game's one way to the screen: a double-buffered XRGB8888 back surface in memory, handed to
// the platform's screen at each Flip. Every operation refuses (false, or a failed result) in the
// conditions the game relies on: pixel writes only while the back surface is locked, text and lines
// only while its device context is held, fills and blits only while neither.
class Display {
  public:
    Display() = default;
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // useClipper is kept for the callers' sake: blits always clip here.
    bool Init(platform::Screen* screen, int width, int height, int bitsPerPixel,
              uint32_t cooperativeFlags, bool useClipper);
    void Release();

    SurfaceResult Lock();
    SurfaceResult Unlock();
    SurfaceResult GetDC();
    SurfaceResult ReleaseDC();
    bool Flip(bool clear);
    bool FillRect(uint32_t pixel, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // The raw pixel value rgb takes on surface (null: the back surface); 0xFFFFFFFF when it cannot
    // lock.
    uint32_t MatchColor(Surface* surface, ColourRef rgb);
    Rect GetScreenRect() const { return screenRect_; }
    DisplayStatus GetStatus() const;

    // Sprites: the caller owns what LoadBitmap returns; loading needs no Init. Null when the file
    // cannot be loaded, why, when given, then saying why in a few words.
    SurfacePtr LoadBitmap(const char* fileName, std::string* why = nullptr);
    bool CopyBitmap(Surface* surface, const Bitmap* bitmap, int32_t x, int32_t y, int32_t width,
                    int32_t height);
    bool SetColorKey(Surface* surface, ColourRef rgb);
    bool DrawSurface(Surface* surface, int32_t x, int32_t y, const Rect* sourceRect);
    bool PutPixel(int32_t x, int32_t y, uint32_t pixel);
    bool SelectFont(const Font* font);
    void RestoreFont();
    bool DrawString(const char* text, int32_t x, int32_t y, bool transparent, ColourRef textColour,
                    ColourRef backColour);
    bool DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Pen& pen,
                  ColourRef backColour);

    // What Lock handed out: pitch, address of pixel (0, 0) and bits per pixel.
    const LockInfo& lockDesc() const { return lockDesc_; }
    const Rect& destRect() const { return destRect_; }
    // The back surface's device context while GetDC holds it, else null.
    DeviceContext* deviceContext() { return dc_; }
    // The surface being drawn and the one last presented (null before Init and after Release).
    Surface* backSurface() { return back_.get(); }
    const Surface* presentedSurface() const { return primary_.get(); }
    // Writes the picture last presented to a .bmp file, for tests and review.
    bool SavePresented(const std::string& path) const;

  private:
    platform::Screen* screen_ = nullptr;
    SurfacePtr primary_;
    SurfacePtr back_;
    Rect screenRect_;
    LockInfo lockDesc_;
    DeviceContext* dc_ = nullptr;
    const Font* savedFont_ = nullptr;
    bool fontSelected_ = false;
    uint32_t clearPixel_ = 0;
    Rect destRect_;
    uint32_t pixelCount_ = 0;
    bool locked_ = false;
    bool dcHeld_ = false;
    DisplayState state_ = DisplayState::Created;
};

// The game's one display, for the whole run.
extern Display display;

}  // namespace quelvane
