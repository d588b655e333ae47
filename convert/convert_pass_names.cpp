#include "convert/convert_pass_names.h"

#include "core/file_names.h"

#include <QHash>

namespace grelm {

QString withoutLastExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

namespace {

QHash<QString, int> countLowered(const QStringList &names)
{
    QHash<QString, int> counts;
    for (const QString &name : names)
        ++counts[lowerCaseName(name)];
    return counts;
}

} // namespace

QStringList caseSafeNames(const QStringList &listed)
{
    const QHash<QString, int> counts = countLowered(listed);
    QStringList names;
    names.reserve(listed.size());
    for (const QString &name : listed) {
        const QString lowered = lowerCaseName(name);
        names.append(counts.value(lowered) > 1 ? name : lowered);
    }
    return names;
}

QStringList outputBaseNames(const QStringList &listed)
{
    const QStringList safe = caseSafeNames(listed);
    QStringList bases;
    bases.reserve(safe.size());
    for (const QString &name : safe)
        bases.append(withoutLastExtension(name));
    // Within a case clash the bases kept their case and can still be equal.
    QHash<QString, int> baseCounts;
    for (const QString &base : bases)
        ++baseCounts[base];
    for (qsizetype i = 0; i < bases.size(); ++i) {
        if (baseCounts.value(bases[i]) > 1)
            bases[i] = listed[i];
    }
    return bases;
}

} // namespace grelm
