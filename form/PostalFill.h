#pragma once

#include "ChoicePopup.h"
#include "Controls.h"
#include "Dictionary.h"

#include <QObject>

#include <memory>
#include <string>

class CDialog;

// The postal code and address line 1 filling each other in, like the
// ふりがな fill: a full code puts its address into an empty line 1 (or one
// that still holds what the fill put there), several addresses are offered
// in a list under it; leaving line 1 with both code edits empty puts in the
// code, when the address gives exactly one. Text the user typed is never
// replaced. Without a dictionary nothing happens.
class PostalFill {
public:
    // After the dialog's controls exist.
    explicit PostalFill(CDialog& dialog);
    ~PostalFill();
    PostalFill(const PostalFill&) = delete;
    PostalFill& operator=(const PostalFill&) = delete;

    // A person shown or the form emptied: what the fill put there is the
    // person's text now.
    void Reset();

private:
    void FillAddress();
    void FillCode();
    void TakeAddress(const std::string& sjisAddress);
    [[nodiscard]] bool AddressIsOurs() const;

    class FocusLeft;

    CEdit m_zip1;
    CEdit m_zip2;
    CEdit m_address;
    CChoicePopup m_choices;
    postal::Dictionary m_dictionary;
    std::string m_filledAddress;  // Shift_JIS, as the fill left line 1
    // The edits' signals and events reach the fill through this object
    // alone, so that none arrives once the fill is gone.
    std::unique_ptr<QObject> m_hooks;
};
