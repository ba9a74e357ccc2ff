// The program's pictures, drawn at run time so that no image files need to
// travel with it: the application icon and one glyph per tool-bar command.
#pragma once

#include <QIcon>

namespace tessarin {

QIcon applicationIcon();
// The tool-bar picture of the command named `name` ("CalcAction", ...); a
// null icon for a command without one.
QIcon commandIcon(const QString &name);

}  // namespace tessarin
