#include "fakehost.h"

namespace telx5::testing {

void RecordingRecord::setStatusText(const QString &text)
{
    statusHistory.append(text);
    RecordView::setStatusText(text);
}

void RecordingRecord::appendStatus(const QString &text)
{
    RecordView::appendStatus(text);
    statusHistory.append(statusText());
}

FakeHost::FakeHost(SerialLink &link, const QString &language)
    : languageText(language), chain(link, record, codePageForLanguage(language))
{
    const bool chinese = isChinese();
    captions = {
        {Button::Default, chinese ? QStringLiteral("默认数据") : QStringLiteral("Default")},
        {Button::OpenRom, chinese ? QStringLiteral("打开升级文件") : QStringLiteral("Open ROM")},
        {Button::Update, chinese ? QStringLiteral("开始升级") : QStringLiteral("update")},
        {Button::Load, chinese ? QStringLiteral("载入数据") : QStringLiteral("Load file")},
        {Button::Save, chinese ? QStringLiteral("保存数据") : QStringLiteral("Save file")},
        {Button::Read, chinese ? QStringLiteral("读取数据") : QStringLiteral("Read data")},
        {Button::Write, chinese ? QStringLiteral("写入数据") : QStringLiteral("Write data")},
        {Button::Apply, chinese ? QStringLiteral("应用") : QStringLiteral("Apply")},
        {Button::Restart, chinese ? QStringLiteral("重启") : QStringLiteral("restart")},
    };
}

void FakeHost::setCaption(Button button, const QString &text)
{
    captions.insert(button, text);
    if (button == Button::Read)
        readCaptions.append(text);
}

void FakeHost::setEnabled(Button button, bool enabled)
{
    disabled.removeAll(button);
    if (!enabled)
        disabled.append(button);
}

} // namespace telx5::testing
