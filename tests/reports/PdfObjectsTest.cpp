// Copying an object into a joined PDF: every reference renumbered, and
// nothing else touched, whatever strings, names or stream bytes look like.
#include "common/Error.h"
#include "reports/PdfJoin.h"
#include "reports/PdfObjects.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tabulon::reports {
namespace {

TEST(PdfObjects, ReferencesAreRenumberedAndNothingElse) {
    struct Case {
        QByteArray in, out;
        const char* fault;  // what a wrong copy would mean
    };
    const Case cases[] = {
        {"6 0 obj\n<<\n/Type /Page\n/Parent 3 0 R\n/Contents 9 0 R\n>>\nendobj\n",
         "60 0 obj\n<<\n/Type /Page\n/Parent 103 0 R\n/Contents 109 0 R\n>>\nendobj\n", "a dictionary's references"},
        {"7 0 obj\n<< /Kids [4 0 R 5 0 R] /MediaBox [0 0 595 842] >>\nendobj\n",
         "70 0 obj\n<< /Kids [104 0 R 105 0 R] /MediaBox [0 0 595 842] >>\nendobj\n", "numbers that are no reference"},
        {"8 0 obj\n<< /Title (a 1 0 R \\) \\( (nested) 2 0 R) /F1 3 0 R >>\nendobj\n",
         "80 0 obj\n<< /Title (a 1 0 R \\) \\( (nested) 2 0 R) /F1 103 0 R >>\nendobj\n", "a literal string's text"},
        {"9 0 obj\n<< /Title <FEFF0031> /X 1 0 R >>\nendobj\n",
         "90 0 obj\n<< /Title <FEFF0031> /X 101 0 R >>\nendobj\n", "a hex string beside a dictionary"},
        {"10 0 obj\n<< /Length 12 0 R >>\nstream\n1 0 R << (\n>>endstream\nendobj\n",
         "100 0 obj\n<< /Length 112 0 R >>\nstream\n1 0 R << (\n>>endstream\nendobj\n", "stream bytes"},
        {"11 0 obj\n[ -1 0 R 1.5 0 R /N2 0 R ]\nendobj\n",
         "110 0 obj\n[ -1 0 R 1.5 0 R /N2 0 R ]\nendobj\n", "signed, real and name tokens taken for numbers"},
    };
    for (const Case& c : cases) {
        const int number = c.in.left(c.in.indexOf(' ')).toInt();
        EXPECT_EQ(renumberedObject(c.in, number * 10, [](int n) { return n + 100; }), c.out) << c.fault;
    }
}

}  // namespace
}  // namespace tabulon::reports

// A chapter's file that cannot be read is named with the real reason, in the
// user's words (a folder is no missing file and no disk failure).
TEST(PdfJoin, AnUnreadableSourceIsNamedWithItsReason) {
    const QTemporaryDir dir;
    const struct { QString path; const char* reason; } cases[] = {
        {dir.filePath(QStringLiteral("gone.pdf")), "見つかりません"},
        {dir.path(), "同じ名前のフォルダがあります"},
    };
    for (const auto& c : cases) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        try {
            tabulon::reports::joinPdfFiles({c.path}, out, QStringLiteral("t"));
            ADD_FAILURE() << "read " << c.path.toStdString();
        } catch (const tabulon::Error& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QString::fromUtf8(c.reason))) << e.what();
        }
    }
}
