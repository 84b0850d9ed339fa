#pragma once

#include "fields.h"
#include "settingstable.h"

#include <QList>
#include <QString>

#include <array>
#include <bitset>

namespace telx5 {

// A device's settings as data: the text of every field, as the window shows
// it, and which settings the device has sent since the last read began. The
// parser fills it, the window binds to it, the command line prints it and the
// settings file saves it. Copies carry the values, never the observer.
class SettingsRecord
{
public:
    // Told of every change, whoever made it.
    class Observer
    {
    public:
        virtual void fieldChanged(Field field, const QString &text) = 0;
        virtual void octetBoxesEnabledChanged(bool enabled) = 0;

    protected:
        ~Observer() = default;
    };

    SettingsRecord() = default;
    SettingsRecord(const SettingsRecord &other);
    SettingsRecord &operator=(const SettingsRecord &other);

    const QString &text(Field field) const { return m_texts[index(field)]; }
    // The passcode, interval and frequency drop leading and trailing spaces,
    // as their boxes do on every change.
    void setText(Field field, const QString &value);

    // The sixteen octet boxes are enabled and disabled together.
    bool octetBoxesEnabled() const { return m_octetBoxesEnabled; }
    void setOctetBoxesEnabled(bool enabled);

    // Which route last filled the settings as a whole, or typing into a
    // record that none had filled. A record that nothing has filled holds no
    // device's settings: written, it would blank the device.
    enum class Origin
    {
        Nothing,
        Read,
        Loaded,
        Defaults,
        Typed,
    };
    Origin origin() const { return m_origin; }
    void setOrigin(Origin origin) { m_origin = origin; }

    // The device's settings of `other` (every field but the Wi-Fi
    // credentials and the CTCSS box, which no read fills), with the octet
    // boxes' state, the arrivals and the origin: what a read that did not
    // complete puts back.
    void restoreSettings(const SettingsRecord &other);

    // A setting has arrived when the parser took a line as that setting,
    // whatever its value.
    void clearArrivals() { m_arrived.reset(); }
    void markArrived(Setting setting) { m_arrived.set(static_cast<std::size_t>(setting)); }
    bool hasArrived(Setting setting) const
    {
        return m_arrived.test(static_cast<std::size_t>(setting));
    }
    // Of `settings`, those that have not arrived, in their order.
    QList<Setting> missing(const QList<Setting> &settings) const;
    // The fields of the settings that have arrived.
    qsizetype arrivedFieldCount() const;

    void setObserver(Observer *observer) { m_observer = observer; }

private:
    static std::size_t index(Field field) { return static_cast<std::size_t>(field); }

    std::array<QString, FieldCount> m_texts{};
    bool m_octetBoxesEnabled = true;
    std::bitset<SettingCount> m_arrived;
    Origin m_origin = Origin::Nothing;
    Observer *m_observer = nullptr;
};

} // namespace telx5
