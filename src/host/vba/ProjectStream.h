#pragma once
// The `PROJECT` stream (MS-OVBA 2.3.1): text lines in the project code page
// that name each component with its kind and hold the obfuscated protection
// values.
#include <QByteArray>
#include <QHash>
#include <QString>

namespace tabulon::vba {

// Component types as the host's VBComponent.Type reports them.
enum class ComponentType { Standard = 1, Class = 2, Form = 3, Document = 100 };

struct ProjectInfo {
    // Component kinds by upper-cased module name (Module=, Class=, BaseClass=,
    // Document=).
    QHash<QString, ComponentType> kinds;
    // ProjectVisibilityState (GC=) decoded to 0x00: locked for viewing.
    bool lockedForViewing = false;
};

// Parses the already decoded text of the PROJECT stream. Only the part before
// the first section header ("[Host Extender Info]", "[Workspace]") counts.
ProjectInfo parseProject(const QString& text);

// Reverses the Data Encryption of MS-OVBA 2.4.3 on the hexadecimal text of a
// CMG=, DPB= or GC= value. Returns false when the text is not a well-formed
// encrypted structure.
bool decryptProjectValue(const QString& hex, QByteArray& data);

}  // namespace tabulon::vba
