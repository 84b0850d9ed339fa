#pragma once

class QWidget;

namespace telx5 {

// The controls keep their fixed design places, but the default GUI font
// differs between systems and the Chinese captions are wider than the English
// ones: shrink the font of every caption that would be cut off by its
// control's bounds or hidden under a control that lies on top of it, and
// give the other captions of its frame the same size.
void fitCaptions(QWidget *window);

} // namespace telx5
