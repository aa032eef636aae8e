// What every writer of the model shows for a paragraph's bullet.
#pragma once

#include <string_view>

#include "model/document.h"

namespace zentoro {

// The character a list marker shows: the bullet's own, or U+2022 where it
// has none that can be shown (none at all, a control character).
char32_t shownBullet(char32_t character);

// On the device a tab follows the bullet and takes the text to its indent:
// a writer that draws the bullet as a list marker drops that tab, which is
// the first character of the paragraph's first run that shows something.
class BulletTabSkipper {
public:
    explicit BulletTabSkipper(bool bulleted) : pending_(bulleted) {}
    // The run's text, without the bullet's tab where this run holds it.
    std::string_view next(const Run& run, std::string_view text);

private:
    bool pending_;
};

}  // namespace zentoro
