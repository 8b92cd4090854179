#include "InputValueRules.h"

#include "Messages.h"

double InputCartonFactor = 0;
QString InputUnitLabel;
QVariant InputResult;

QString TInputValueRules::Start(TInputKind kind)
{
    FKind = kind;
    FCartonMode = false;
    InputResult = QVariant();
    return InputUnitLabel;
}

bool TInputValueRules::CartonKey(const QString& typed, QString* unitLabel)
{
    if (typed != QLatin1String("k") && typed != QLatin1String("K")) return false;
    if (InputCartonFactor != 0) {
        FCartonMode = !FCartonMode;
        if (unitLabel) *unitLabel = FCartonMode ? QStringLiteral("karton") : QStringLiteral("darab");
    }
    return true;
}

TInputValueRules::TEnter TInputValueRules::EnterNumber(double value, const std::function<void()>& resetBox)
{
    if (value < 0) {
        if (resetBox) resetBox();
        ShowMsg(QStringLiteral("Hiba"), QStringLiteral("Túl kicsi szám"));
        return TooSmall;
    }
    InputResult = FCartonMode ? value * InputCartonFactor : value;
    return Accepted;
}

TInputValueRules::TEnter TInputValueRules::EnterText(const QString& text)
{
    if (text.isEmpty()) return Ignored;
    InputResult = text;
    return Accepted;
}

void TInputValueRules::Close()
{
    InputCartonFactor = 0;
    InputUnitLabel.clear();
}
