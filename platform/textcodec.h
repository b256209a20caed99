#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the code page of the ID3 tags and of Data/index.txt.
namespace Cp1251 {

// Characters that have no Windows-1251 form become '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

} // namespace Cp1251
