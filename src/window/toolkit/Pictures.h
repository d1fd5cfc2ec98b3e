// The program's own pictures, drawn at run time so that no image file has to
// ship beside the executable.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace toolkit {

QPixmap BannerPicture(QSize size); // a PDF page, three arrows, a picture
QPixmap DonateBadge(QSize size);   // a small "Donate" badge
QPixmap LogoPicture(QSize size);   // a PDF page turning into photographs
QIcon StartGlyph();                // extraction: go
QIcon StopGlyph();                 // extraction: stop
QIcon ProGlyph();                  // the professional edition
QIcon DocumentGlyph();             // view the PDF
QIcon FolderGlyph();               // open the folder
QIcon PlayGlyph();                 // the video tutorial

} // namespace toolkit
