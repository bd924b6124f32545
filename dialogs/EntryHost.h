#pragma once
// What the entry and file name dialogs need of the window they belong to: the document they
// change, the prompts through which they ask and tell, the row the Edit dialog works on, and
// the file names a new-file prompt sets.
#include <QString>

#include "document/model/RowScope.h"

class Document;
class QWidget;
class UserPrompts;

class EntryHost {
public:
    virtual ~EntryHost() = default;
    virtual Document& Doc() = 0;
    virtual UserPrompts& Prompts() = 0;
    virtual QWidget* HostWidget() = 0;  // the dialogs' parent
    // The row at the selection mark (-1: none).
    virtual int MarkedRow() const = 0;
    // The rows shown (a filter may hide some): Replace and Replace All reach only these.
    virtual RowScope ShownRows() const = 0;
    // The text resource file's name, and its localized companion's.
    virtual void SetFileName(const QString& path) = 0;
    virtual void SetLocalizedFileName(const QString& path) = 0;
};
