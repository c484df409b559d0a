#include "host/ReadFailure.h"

#include <QFileInfo>
#include <new>

namespace tabulon::host {

namespace {

struct Wording {
    ReadFailure kind;
    int number;
    const char16_t* text;
};

constexpr Wording kWordings[] = {
    {ReadFailure::FileMissing, err::FileNotFound, u"ファイルが見つからないか、開けません。"},
    {ReadFailure::EmptyFile, err::Refused, u"空のファイルです。"},
    {ReadFailure::NotWorkbook, err::Refused, u"Excel ブックではないため、読み込めません。"},
    {ReadFailure::TooOld, err::Refused, u"古い形式（Excel 2.x〜4.0）のブックのため、読み込めません。"},
    {ReadFailure::Damaged, err::Refused, u"ブックが壊れているため、読み込めません。"},
    {ReadFailure::PasswordNeeded, err::Refused, u"パスワードで保護されたブックです。パスワードを指定してください。"},
    {ReadFailure::PasswordWrong, err::Refused, u"パスワードが正しくありません。"},
    {ReadFailure::UnknownEncryption, err::Refused, u"このブックの暗号化方式には対応していません。"},
    {ReadFailure::ProjectProtected, err::ProjectProtected, u"プロジェクトが保護されています。"},
    {ReadFailure::ProjectDamaged, err::Refused, u"VBA プロジェクトが壊れているため、モジュールを読み込めません。"},
    {ReadFailure::OutOfMemory, err::OutOfMemory, u"メモリが不足しているため、ブックを読み込めません。"},
};

const Wording& wording(ReadFailure kind) {
    for (const Wording& w : kWordings)
        if (w.kind == kind) return w;
    return kWordings[4];  // every kind is listed above (this one: damaged)
}

QString describe(ReadFailure kind, const QString& path, const QString& technical) {
    QString text = QStringLiteral("'%1': %2").arg(QFileInfo(path).fileName(), readFailureText(kind));
    if (!technical.isEmpty()) text += QStringLiteral(" 詳細: ") + technical;
    return text;
}

}  // namespace

void raiseHostError(int number, const QString& technical) {
    struct Message {
        int number;
        const char16_t* text;
    };
    static constexpr Message kMessages[] = {
        {err::SubscriptOutOfRange, u"インデックスが有効範囲にありません。"},
        {err::FileNotFound, u"ファイルが見つかりません。"},
        {err::ObjectMissing, u"オブジェクト変数または With ブロック変数が設定されていません。"},
        {err::Unsupported, u"オブジェクトは、このプロパティまたはメソッドをサポートしていません。"},
        {err::Refused, u"アプリケーション定義またはオブジェクト定義のエラーです。"},
        {err::PropertyNotHeld, u"オートメーション エラーです。エラーを特定できません。"},
    };
    QString text;
    for (const Message& m : kMessages)
        if (m.number == number) text = QString::fromUtf16(m.text);
    throw Error(number, text.isEmpty() ? technical : text + QStringLiteral(" 詳細: ") + technical);
}

QString readFailureText(ReadFailure kind) { return QString::fromUtf16(wording(kind).text); }

int readFailureNumber(ReadFailure kind) { return wording(kind).number; }

ReadError::ReadError(ReadFailure kind, const QString& path, const QString& technical, ErrorDetail detail)
    : Error(readFailureNumber(kind), describe(kind, path, technical), std::move(detail)),
      kind_(kind),
      technical_(technical) {}

void raiseReadFailure(ReadFailure kind, const QString& path, const QString& technical, ErrorDetail detail) {
    throw ReadError(kind, path, technical, std::move(detail));
}

void asReadFailure(ReadFailure otherwise, const QString& path, const std::function<void()>& read) {
    try {
        read();
    } catch (const ReadError&) {
        throw;
    } catch (const Error& e) {
        const ReadFailure kind = e.number() == err::FileNotFound ? ReadFailure::FileMissing
                                 : e.number() == err::ProjectProtected ? ReadFailure::ProjectProtected
                                                                        : otherwise;
        raiseReadFailure(kind, path, e.description(), e.detail());
    } catch (const std::bad_alloc&) {
        raiseReadFailure(ReadFailure::OutOfMemory, path, QStringLiteral("out of memory"));
    }
}

}  // namespace tabulon::host
