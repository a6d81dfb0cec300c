// The window fonts, with fallbacks to the installed UI and CJK fonts where the
// original faces are missing, so that every Chinese text renders.
#pragma once

#include <QFont>

namespace orvela {

QFont UiFont();      // "MS Sans Serif", 11 pixels: the main window and its controls
QFont SongtiFont();  // "宋体", 12 pixels: the notes page
QFont DialogFont();  // message boxes and dialogs, 12 pixels

}  // namespace orvela
