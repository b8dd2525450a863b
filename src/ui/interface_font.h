// The interface's text font: Tahoma where it exists, the default sans serif otherwise, sized in pixels so that
// text keeps its size at any screen resolution (points at 96 dots per inch).
#pragma once

#include <QFont>
#include <QStringList>

#include <algorithm>

namespace tp {

inline QFont InterfaceFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(points * 96.0 / 72.0 + 0.5)));
    return font;
}

}  // namespace tp
