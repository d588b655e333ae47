#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace grelm {

/// A file name without its last extension: "a.b.bmp" gives "a.b", "shot" stays "shot".
QString withoutLastExtension(const QString &name);

/// The names that a folder pass derives its outputs from, one for each listed
/// name, in the same order. A name is lower-cased, as the outputs are; when
/// two listed names differ only in letter case ("Shot.bmp", "shot.BMP") the
/// lower-cased names would collide, so each of them keeps its case as listed.
QStringList caseSafeNames(const QStringList &listed);

/// The listed names that differ from another listed name only in letter case,
/// as QString::compare(Qt::CaseInsensitive) tells them ("Shot.bmp" beside
/// "shot.BMP"); found with one pass over the names.
QSet<QString> caseTwins(const QStringList &listed);

/// The base names that a pass's JPEG files are named after, one for each
/// listed name: the case-safe name without its last extension, or the whole
/// listed name where two names of a case clash differ only in the extension's
/// case ("shot.bmp", "shot.BMP").
QStringList outputBaseNames(const QStringList &listed);

} // namespace grelm
