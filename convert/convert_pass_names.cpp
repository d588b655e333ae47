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

// `name` with each character replaced by its simple case folding, as
// QString::compare(Qt::CaseInsensitive) compares them; a lone surrogate (a
// byte that is not UTF-8, see core/file_names.h) stays as it is.
QString caseFolded(const QString &name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::toCaseFolded(QChar::surrogateToUcs4(c, name[++i]));
            folded.append(QChar::highSurrogate(code)).append(QChar::lowSurrogate(code));
        } else {
            folded.append(c.isSurrogate() ? c : c.toCaseFolded());
        }
    }
    return folded;
}

} // namespace

QSet<QString> caseTwins(const QStringList &listed)
{
    QHash<QString, int> counts;
    QStringList folded;
    folded.reserve(listed.size());
    for (const QString &name : listed)
        ++counts[folded.emplace_back(caseFolded(name))];
    QSet<QString> twins;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        if (counts.value(folded[i]) > 1)
            twins.insert(listed[i]);
    }
    return twins;
}

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
