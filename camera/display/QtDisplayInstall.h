// Gives every component created with a parent window its live image on Qt (a plain header).
#pragma once

namespace cam {

void installQtDisplay();

} // namespace cam
