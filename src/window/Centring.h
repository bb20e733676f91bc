// Top-level windows placed at the centre of their screen when they first appear.
#pragma once

class QWidget;

namespace window {

// Moves the window's frame so that its centre is that of the available area
// of its screen (the primary screen while it has none).
void CentreOnScreen(QWidget& window);

// Centres the window when it is first shown by the program; later showings
// (and those of the window system, such as a restore) leave it where the user put it.
void CentreAtFirstShow(QWidget& window);

} // namespace window
