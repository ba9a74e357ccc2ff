// What the desktop platform decides on its own, apart from the windows it
// opens, so that tests reach it without a screen.
#pragma once

#include <QString>
#include <QUrl>

namespace tessarin {

// The program's "Описание|*.ext|Описание|*.ext" filter in QFileDialog's form
// "Описание (*.ext);;Описание (*.ext)".  A lone pattern without description
// stands as it is.
QString qtFileFilter(const QString &filter);

// The page of a help topic ("Params_Command", ...) among the program's help
// pages; an unknown topic leads to the contents.
QUrl helpPageOfTopic(const QString &topic);
// The page of a control's help context number; an unknown number leads to
// the contents.
QUrl helpPageOfContext(int context);
// The contents page.
QUrl helpContentsPage();

}  // namespace tessarin
