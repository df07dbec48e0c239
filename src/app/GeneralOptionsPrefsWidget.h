#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

/// The preferences dialog's Options tab: the default way new inputs switch outputs, whether the
/// most recent setup opens at launch, the name of middle C and the keyboard's velocity marks.
/// Stored choices that are out of range show (and are saved back as) their defaults.
/// GUI thread only.
class GeneralOptionsPrefsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GeneralOptionsPrefsWidget(QWidget* parent);

    void setUIValuesFromPrefs();
    void setPrefValuesFromUI() const;

    QComboBox* activationMethodComboBox() const { return _activationMethodComboBox; }
    QComboBox* activationSpecificityComboBox() const { return _activationSpecificityComboBox; }
    QCheckBox* loadMostRecentCheckBox() const { return _loadMostRecentCheckBox; }
    QCheckBox* initializersOnOpenCheckBox() const { return _initializersOnOpenCheckBox; }
    QComboBox* middleCNameComboBox() const { return _middleCNameComboBox; }
    QCheckBox* showVelocitiesCheckBox() const { return _showVelocitiesCheckBox; }
    QCheckBox* oscRemoteCheckBox() const { return _oscRemoteCheckBox; }
    QSpinBox* oscPortSpinBox() const { return _oscPortSpinBox; }
    QLineEdit* oscBindAddressEdit() const { return _oscBindAddressEdit; }

private:
    void _buildUI();

    QComboBox* _activationMethodComboBox = nullptr;
    QComboBox* _activationSpecificityComboBox = nullptr;
    QCheckBox* _loadMostRecentCheckBox = nullptr;
    QCheckBox* _initializersOnOpenCheckBox = nullptr;
    QComboBox* _middleCNameComboBox = nullptr;
    QCheckBox* _showVelocitiesCheckBox = nullptr;
    QCheckBox* _oscRemoteCheckBox = nullptr;
    QSpinBox* _oscPortSpinBox = nullptr;
    QLineEdit* _oscBindAddressEdit = nullptr;
};
