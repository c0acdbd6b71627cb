#pragma once
// Writing the menu definition file.
#include <QByteArray>
#include <QString>

#include "menus/MenuTree.h"

// The document: XML declaration, element ROOT, two spaces per level; a node
// captioned like a section is written as that section's element, any other
// as an ITEM with its ten attributes.
QByteArray WriteMenuTree(const TMenuTree& tree);
// Writes through a temporary file that replaces the old one only when the
// whole document was written; throws TMenuFileError
// "Ошибка при сохранении <path>" otherwise (the old file stays as it was).
void SaveMenuTree(const TMenuTree& tree, const QString& fileName);
