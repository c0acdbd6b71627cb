#pragma once
// Why a file operation failed, in a few Russian words: QFileDevice's own
// errorString() is English and users read these messages.
#include <QFileDevice>
#include <QString>

QString FileErrorText(QFileDevice::FileError error);
// "файл не найден" for a file that is not there.
QString FileErrorText(const QFileDevice& file);
