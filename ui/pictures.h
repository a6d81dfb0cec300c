// The tool bar's pictures and the application icon, drawn from the bundled SVG files.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace orvela {

constexpr int kPictureCount = 9;
constexpr int kPictureSize = 32;

// Picture `index` of the tool bar's picture list, 32 x 32 with transparency:
// 0 add folder, 1 add file, 2 up, 3 down, 4 remove all, 5 exit, 6 book,
// 7 Chinese character (shown by no button), 8 remove.
QPixmap Picture(int index);
QPixmap AppPicture();  // the application icon, 32 x 32
QIcon AppIcon();

// Makes the bundled resources (pictures, web pages) reachable under ":/".
void InitResources();

}  // namespace orvela
