#pragma once
// The rules of the quantity dialog (one value: a whole number with a piece / carton switch, or
// a line of text), apart from its window, and the process-wide values it shares with callers.
#include <QString>
#include <QVariant>
#include <functional>

// Pieces per carton of the product being entered; 0 switches the carton feature off. Set by the
// caller before InputValue; reset to 0 when the dialog closes.
extern double InputCartonFactor;
// Unit label shown when the dialog opens ("darab"); reset to empty when the dialog closes.
extern QString InputUnitLabel;
// The accepted value: a double for the number kind, a text for the text kind; null until a value
// is accepted (every dialog clears it when it opens).
extern QVariant InputResult;

enum class TInputKind { Number, Text };

class TInputValueRules {
public:
    enum TEnter { Accepted, TooSmall, Ignored };

    // The dialog opens: piece mode, InputResult cleared. Answers the unit label to show.
    QString Start(TInputKind kind);
    TInputKind Kind() const { return FKind; }
    bool CartonMode() const { return FCartonMode; }

    // A character typed in the number box. True when it is "k" / "K", which never reaches the
    // box; with a carton factor it switches the mode, and *unitLabel gets "karton" or "darab".
    bool CartonKey(const QString& typed, QString* unitLabel);
    // Enter with a number in the box: 0 or more is accepted (times the carton factor in carton
    // mode, into InputResult); a negative number is TooSmall: resetBox puts 0 into the box, then
    // "Túl kicsi szám" is shown (caption "Hiba").
    TEnter EnterNumber(double value, const std::function<void()>& resetBox = {});
    // Enter with a text: accepted when not empty; an empty text is Ignored.
    TEnter EnterText(const QString& text);
    // The dialog closes, whatever the result: the carton factor and the unit label are reset.
    void Close();

private:
    TInputKind FKind = TInputKind::Number;
    bool FCartonMode = false;
};
