#pragma once

#include <QObject>

class QLineEdit;

// The key filter of the digit-only fields (the row ranges, the item number,
// number fields of dialogs): a typed character other than 0..9 or Backspace is
// dropped, and so is any character once the field holds its limit. One filter
// serves every field; a field's limit is its maxLength.
class DigitsKeyFilter : public QObject
{
    Q_OBJECT
public:
    explicit DigitsKeyFilter(QObject *parent = nullptr);

    // Sets the field's limit and filters its keys from now on.
    void watch(QLineEdit *field, int limit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
