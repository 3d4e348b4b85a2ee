#pragma once

#include <QIcon>

namespace qev {

// The pictures of the window's speed buttons. Drawn as vector paths at whatever
// size and device pixel ratio they are asked for, so they stay crisp when Qt
// scales the window for the screen.
enum class ButtonPicture { First, Previous, Next, Last, SupplierList, Print, Mail, Export, Exit };

QIcon buttonIcon(ButtonPicture picture);

}  // namespace qev
