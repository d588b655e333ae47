#include "thumbs/thumbnail_color.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

#include <optional>

namespace grelm {

namespace {

constexpr std::uint32_t kSystemColorFlag = 0x80000000u;

std::optional<QPalette::ColorRole> systemColorRole(std::uint32_t index)
{
    switch (index) {
    case 5: return QPalette::Base;             // COLOR_WINDOW
    case 12: return QPalette::Dark;            // COLOR_APPWORKSPACE
    case 13: return QPalette::Highlight;       // COLOR_HIGHLIGHT
    case 14: return QPalette::HighlightedText; // COLOR_HIGHLIGHTTEXT
    case 15: return QPalette::Button;          // COLOR_BTNFACE
    case 20: return QPalette::Light;           // COLOR_BTNHIGHLIGHT
    default: return std::nullopt;
    }
}

// The application's palette; a program without a GUI application (a worker
// tool, a plain test) gets Qt's default one.
QPalette currentPalette()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette();
    return QPalette();
}

} // namespace

QRgb translateColor(std::uint32_t color)
{
    if ((color & 0xFF000000u) == 0)
        return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    if ((color & 0xFFFFFF00u) == kSystemColorFlag) {
        if (const auto role = systemColorRole(color & 0xFF))
            return currentPalette().color(QPalette::Active, *role).rgb();
    }
    return qRgb(0, 0, 0);
}

} // namespace grelm
