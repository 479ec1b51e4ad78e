#include "tools/assetgen/Pickups.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/Shapes.h"

namespace assetgen {

namespace {

// Half-width of the shield at height y: straight sides, then a curve to the point.
float shieldHalfWidth(float y, float top, float bottom, float half) {
    float waist = top + (bottom - top) * 0.45f;
    if (y < top || y > bottom) {
        return -1.0f;
    }
    if (y < waist) {
        return half;
    }
    float t = (y - waist) / (bottom - waist);
    return half * std::sqrt(std::max(0.0f, 1.0f - t * t * t));
}

Inside roundedSquare(float lo, float hi, float radius) {
    return [=](float x, float y) {
        float dx = std::max({lo + radius - x, 0.0f, x - (hi - radius)});
        float dy = std::max({lo + radius - y, 0.0f, y - (hi - radius)});
        return dx * dx + dy * dy <= radius * radius;
    };
}

// The weapon pod shared by both weapon items: metal rim, a lit panel in the weapon's colour.
Image weaponPod(uint32_t panel) {
    Image image(32, 32);
    shadeShape(image, roundedSquare(0.5f, 31.5f, 7.0f), [](float x, float y) {
        return litColour(rgb(150, 156, 178), (x - 16.0f) / 17.0f, (y - 16.0f) / 17.0f, 0.9f);
    });
    shadeShape(image, roundedSquare(3.0f, 29.0f, 5.0f), [&](float x, float y) {
        return litColour(panel, (x - 16.0f) / 24.0f, (y - 16.0f) / 24.0f, 0.35f);
    });
    return image;
}

}  // namespace

Image shieldPickup() {
    Image image(23, 28);
    const float cx = 11.5f;
    shadeShape(
        image,
        [&](float x, float y) {
            return std::fabs(x - cx) <= shieldHalfWidth(y, 0.5f, 27.5f, 11.0f);
        },
        [&](float x, float y) {
            return litColour(rgb(150, 220, 255), (x - cx) / 12.0f, (y - 12.0f) / 18.0f, 1.0f);
        });
    shadeShape(
        image,
        [&](float x, float y) {
            return std::fabs(x - cx) <= shieldHalfWidth(y, 2.5f, 25.0f, 9.0f);
        },
        [&](float x, float y) {
            return litColour(rgb(30, 80, 200), (x - cx) / 11.0f, (y - 12.0f) / 15.0f, 0.5f);
        });
    glow(image, cx, 12.5f, 9.0f, rgb(80, 200, 255), 0.55f);
    drawLine(image, cx, 6.5f, cx, 19.5f, 3.4f, rgb(230, 252, 255));
    drawLine(image, cx - 5.5f, 12.0f, cx + 5.5f, 12.0f, 3.4f, rgb(230, 252, 255));
    return image;
}

Image freeLimitBreak() {
    Image image(21, 23);
    const float cx = 10.5f, cy = 11.5f;
    const std::pair<float, float> top{cx, 0.5f}, right{20.5f, cy}, bottom{cx, 22.5f},
        left{0.5f, cy}, centre{cx, cy};
    // Four facets of the crystal, lit from the upper left.
    fillShape(image, polygon({left, top, centre}), rgb(255, 130, 255));
    fillShape(image, polygon({top, right, centre}), rgb(214, 60, 220));
    fillShape(image, polygon({left, centre, bottom}), rgb(170, 40, 190));
    fillShape(image, polygon({centre, right, bottom}), rgb(110, 20, 140));
    glow(image, cx, cy, 10.0f, rgb(255, 120, 255), 0.35f);
    // Lightning bolt.
    Inside bolt = polygon({{12.8f, 3.0f},
                           {6.0f, 12.5f},
                           {10.0f, 12.5f},
                           {7.6f, 20.0f},
                           {15.2f, 9.6f},
                           {11.2f, 9.6f},
                           {13.8f, 3.0f}});
    fillShape(
        image, [&](float x, float y) { return bolt(x - 0.6f, y) || bolt(x + 0.6f, y); },
        rgb(120, 40, 20));
    fillShape(image, bolt, rgb(255, 226, 70));
    fillShape(
        image,
        [&](float x, float y) { return bolt(x + 0.8f, y + 0.4f) && bolt(x - 0.8f, y - 0.4f); },
        rgb(255, 255, 220));
    return image;
}

Image laserUpgrade() {
    Image image = weaponPod(rgb(120, 24, 36));
    for (float x : {11.0f, 21.0f}) {
        glow(image, x, 16.0f, 9.0f, rgb(255, 60, 60), 0.5f);
        drawLine(image, x, 7.5f, x, 24.5f, 4.0f, rgb(230, 40, 50));
        drawLine(image, x, 8.0f, x, 24.0f, 1.8f, rgb(255, 236, 226));
    }
    return image;
}

Image rocketUpgrade(const Image& missile) {
    Image image = weaponPod(rgb(26, 100, 46));
    glow(image, 16.0f, 26.0f, 7.0f, rgb(255, 160, 40), 0.9f);
    Image big = missile.scaled(2);
    image.drawOver(big, 16 - big.width() / 2, 3);
    return image;
}

}  // namespace assetgen
