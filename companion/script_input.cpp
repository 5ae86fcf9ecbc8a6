#include "companion/script_input.h"

#include <QFile>

#include "companion/companion_window.h"
#include "companion/drawing_view.h"

namespace coordconv::companion {

bool ScriptInput::Load(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "无法读取脚本 " + path + ": " + file.errorString();
        return false;
    }
    const QStringList text = QString::fromUtf8(file.readAll()).split('\n');
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString raw = text[i];
        if (raw.endsWith('\r')) raw.chop(1);
        const QString trimmed = raw.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
        Line line{static_cast<int>(i + 1), trimmed.section(' ', 0, 0, QString::SectionSkipEmpty), {}, {}};
        if (line.kind == "pick") {
            const QStringList words = trimmed.split(' ', Qt::SkipEmptyParts);
            bool ok = words.size() == 3 || words.size() == 4;
            double xyz[3] = {0, 0, 0};
            for (qsizetype k = 1; ok && k < words.size(); ++k) xyz[k - 1] = words[k].toDouble(&ok);
            if (!ok) {
                error = QString("脚本第 %1 行: pick 需要 X Y [Z]").arg(line.number);
                return false;
            }
            line.point = {xyz[0], xyz[1], xyz[2]};
        } else if (line.kind == "answer") {
            const QString after = raw.trimmed().mid(6);  // "answer" and the blank after it
            line.text = after.startsWith(' ') ? after.mid(1) : after;
        } else if (line.kind != "cancel") {
            error = QString("脚本第 %1 行: 未知的指令 %2").arg(line.number).arg(line.kind);
            return false;
        }
        lines_.push_back(line);
    }
    return true;
}

void ScriptInput::Log(const QString& text) {
    if (window_) window_->Log(text);
}

const ScriptInput::Line* ScriptInput::Next(const QString& prompt, const QString& kind) {
    if (next_ >= lines_.size()) {
        Log(prompt + " *取消* (脚本已用完)");
        return nullptr;
    }
    const Line& line = lines_[next_++];
    if (line.kind == "cancel") {
        Log(prompt + " *取消*");
        return nullptr;
    }
    if (line.kind != kind) {
        Log(QString("%1 脚本第 %2 行不是 ").arg(prompt).arg(line.number) + kind);
        throw CadError((QString("脚本第 %1 行: 需要 ").arg(line.number) + kind).toStdString());
    }
    return &line;
}

void ScriptInput::RequestPoint(const QString& prompt, std::optional<CadPoint> base,
                               std::function<void(std::optional<CadPoint>)> done) {
    (void)base;
    const Line* line = Next(prompt, "pick");
    if (line == nullptr) {
        done(std::nullopt);
        return;
    }
    Log(QString("%1 %2,%3").arg(prompt).arg(line->point.x, 0, 'f', 4).arg(line->point.y, 0, 'f', 4));
    if (window_) window_->View().ShowPickedPoint(line->point);
    done(line->point);
}

void ScriptInput::RequestString(const QString& prompt, bool, std::function<void(std::optional<QString>)> done) {
    const Line* line = Next(prompt, "answer");
    if (line == nullptr) {
        done(std::nullopt);
        return;
    }
    Log(prompt + " " + line->text);
    done(line->text);
}

void ScriptInput::DrawingChanged() {
    if (window_) window_->View().update();
}

}  // namespace coordconv::companion
