#pragma once

#include <QObject>

class HMacroType;

// Owns one object of each user-interface model for the program's lifetime and hands them out through its
// getters; program code reaches a model only through here.
class UIManager : public QObject
{
    Q_OBJECT
public:
    explicit UIManager(QObject* parent = nullptr);
    ~UIManager() override;

    HMacroType* getMacroType() const { return m_macroType; }

private:
    HMacroType* m_macroType = nullptr;
};
