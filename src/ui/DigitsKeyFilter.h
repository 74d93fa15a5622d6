#pragma once

#include <QObject>

class QLineEdit;

// The digit-only fields (the row ranges, the item number, number fields of
// dialogs): whatever enters them, typed or pasted, keeps its digits 0..9 up to
// the field's limit; the rest is dropped. One object serves every field.
class DigitsKeyFilter : public QObject
{
    Q_OBJECT
public:
    explicit DigitsKeyFilter(QObject *parent = nullptr);

    // Holds the field to its limit from now on.
    void watch(QLineEdit *field, int limit);
};
