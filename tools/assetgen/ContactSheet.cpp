#include "tools/assetgen/ContactSheet.h"

#include <algorithm>
#include <string>

namespace assetgen {

namespace {

constexpr int kScale = 4;
constexpr int kGap = 12;
constexpr int kWidth = 2000;

const Image& find(const std::vector<NamedImage>& bitmaps, const std::string& file) {
    for (const NamedImage& b : bitmaps) {
        if (b.file == file) {
            return b.image;
        }
    }
    static const Image none;
    return none;
}

std::vector<Image> split(const Image& sheet, int frameWidth, int frameHeight) {
    std::vector<Image> frames;
    for (int y = 0; y + frameHeight <= sheet.height(); y += frameHeight) {
        for (int x = 0; x + frameWidth <= sheet.width(); x += frameWidth) {
            frames.push_back(sheet.crop(x, y, frameWidth, frameHeight));
        }
    }
    return frames;
}

// Lays pictures out left to right in rows, each scaled up, on a background.
class Layout {
  public:
    void row(const std::vector<Image>& pictures) {
        int x = kGap;
        int rowHeight = 0;
        for (const Image& p : pictures) {
            Image big = p.scaled(kScale);
            if (x + big.width() + kGap > kWidth && x > kGap) {
                y += rowHeight + kGap;
                x = kGap;
                rowHeight = 0;
            }
            placed.push_back({x, y, big});
            x += big.width() + kGap;
            rowHeight = std::max(rowHeight, big.height());
        }
        y += rowHeight + 2 * kGap;
    }

    Image render() const {
        Image sheet(kWidth, y);
        for (const Placed& p : placed) {
            // Each picture on a slightly lighter tile, so its full cell size shows.
            Image tile = p.image;
            tile.fillTransparent(rgb(44, 44, 52));
            sheet.drawOver(tile, p.x, p.y);
        }
        sheet.fillTransparent(rgb(26, 26, 32));
        return sheet;
    }

  private:
    struct Placed {
        int x, y;
        Image image;
    };
    std::vector<Placed> placed;
    int y = kGap;
};

}  // namespace

Image contactSheet(const std::vector<NamedImage>& bitmaps) {
    Layout layout;
    layout.row({find(bitmaps, "ship.bmp"), find(bitmaps, "alien.bmp"), find(bitmaps, "ashot.bmp"),
                find(bitmaps, "bullet.bmp"), find(bitmaps, "laser.bmp"),
                find(bitmaps, "shields.bmp"), find(bitmaps, "freelb.bmp"),
                find(bitmaps, "upg_laser.bmp"), find(bitmaps, "upg_rocket.bmp")});
    std::vector<Image> combos = {find(bitmaps, "upg_r.bmp"), find(bitmaps, "upg_lc.bmp"),
                                 find(bitmaps, "upg_ll.bmp"), find(bitmaps, "upg_m.bmp")};
    // The five combinations as sprite with overlay: R/LC(C), R/LC(L), R/M, LC(C)/M, LC(L)/M.
    const std::pair<const char*, const char*> pairs[5] = {{"upg_lc.bmp", "upg_r.bmp"},
                                                          {"upg_ll.bmp", "upg_r.bmp"},
                                                          {"upg_r.bmp", "upg_m.bmp"},
                                                          {"upg_lc.bmp", "upg_m.bmp"},
                                                          {"upg_ll.bmp", "upg_m.bmp"}};
    for (const auto& [sprite, overlay] : pairs) {
        Image composed = find(bitmaps, sprite);
        composed.drawOver(find(bitmaps, overlay), 0, 0);
        combos.push_back(composed);
    }
    layout.row(combos);
    layout.row(split(find(bitmaps, "rocket.bmp"), 21, 22));
    layout.row(split(find(bitmaps, "target.bmp"), 47, 47));
    layout.row(split(find(bitmaps, "explosion.bmp"), 66, 66));
    layout.row(split(find(bitmaps, "r_explosion.bmp"), 64, 64));
    layout.row({find(bitmaps, "title.bmp")});
    return layout.render();
}

}  // namespace assetgen
