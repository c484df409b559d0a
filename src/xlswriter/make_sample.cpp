// Writes the bundled sample workbook (examples/sample.xls): a small Japanese
// order-entry application with sheets, formulas (with a defined name and a
// reference to another workbook), cell comments, a text box and macro
// buttons, document properties and standard, class, form and document
// modules, so that every chapter has something to document.
// Run: tabulon_make_sample examples/sample.xls
#include "xlswriter/XlsWriter.h"

#include <cstdio>

using namespace tabulon::xlsw;

namespace {

void addSheets(XlsWriter& w) {
    XlsSheet& sales = w.addSheet(QStringLiteral("売上明細"));
    sales.text(0, 0, QStringLiteral("商品コード")).text(0, 1, QStringLiteral("商品名"))
        .text(0, 2, QStringLiteral("単価")).text(0, 3, QStringLiteral("数量"))
        .text(0, 4, QStringLiteral("金額"));
    const char16_t* items[] = {u"ﾘﾝｺﾞ", u"みかん", u"バナナ", u"Grape", u"桃"};
    for (int r = 1; r <= 5; ++r) {
        sales.text(r, 0, QStringLiteral("A%1").arg(100 + r));
        sales.text(r, 1, QString::fromUtf16(items[r - 1]));
        sales.number(r, 2, 120.0 * r);
        sales.number(r, 3, 3 + r);
        // =C{r}*D{r}
        sales.formula(r, 4, Rgce().ref(r, 2).ref(r, 3).op(0x05), 120.0 * r * (3 + r));
    }
    // =SUM(E2:E6) and a rate with a literal and a name
    sales.text(7, 3, QStringLiteral("合計"));
    double total = 0;
    for (int r = 1; r <= 5; ++r) total += 120.0 * r * (3 + r);
    sales.formula(7, 4, Rgce().area(1, 4, 5, 4).funcVar(4, 1), total);
    sales.text(8, 3, QStringLiteral("税込"));
    sales.formula(8, 4, Rgce().ref(7, 4, false, false).name(1).op(0x05), total * 1.1);
    sales.boolean(10, 0, true);

    XlsSheet& summary = w.addSheet(QStringLiteral("集計"));
    summary.text(0, 0, QStringLiteral("売上合計"));
    // ='売上明細'!E8
    summary.formula(0, 1, Rgce().ref3d(0, 7, 4, false), total);
    summary.text(1, 0, QStringLiteral("判定"));
    // =IF(B1>1000,"達成","未達")
    summary.formula(1, 1,
                    Rgce().ref(0, 1).integer(1000).op(0x0D).str(QStringLiteral("達成"))
                        .str(QStringLiteral("未達")).funcVar(1, 3));
    summary.cells.back().text = QStringLiteral("達成");

    XlsSheet& hidden = w.addSheet(QStringLiteral("設定"));
    hidden.visibility = 1;
    hidden.text(0, 0, QStringLiteral("税率")).number(0, 1, 1.1);

    w.addSheet(QStringLiteral("Module1"));  // an old macro-sheet name the sheet lists leave out
}

// A price list kept in another workbook: ='C:\data\[Prices.xls]Sheet1'!A1*2
void addExternalReference(XlsWriter& w) {
    const int prices = w.addExternalSheet(QStringLiteral("C:\\data\\Prices.xls"), QStringLiteral("Sheet1"));
    XlsSheet& summary = w.sheet(1);
    summary.text(2, 0, QStringLiteral("参考価格"));
    summary.formula(2, 1, Rgce().ref3d(prices, 0, 0).integer(2).op(0x05), 240);  // Prices.xls has 120 in A1
}

// Object ids follow the order below: Comment 1, Button 2, Text Box 3, and a
// renamed button 4.
void addShapes(XlsWriter& w) {
    XlsSheet& sales = w.sheet(0);
    sales.note(0, 0, QStringLiteral("山田 太郎"), QStringLiteral("商品マスタのコードを入力します。"));
    sales.button(1, 6, QStringLiteral("メニュー"), QStringLiteral("ShowMenu"));
    XlsShape& hint = sales.textBox(3, 6, QStringLiteral("数量を変えると金額を再計算します。"));
    hint.fillRgb = 0xFFFFCC;
    hint.lineDashing = 1;  // dashes
    hint.cols = 2;
    hint.rows = 4;
    sales.button(7, 6, QStringLiteral("受注入力"), QStringLiteral("Module1.ShowMenu")).name =
        QStringLiteral("受注ボタン");
    w.sheet(1).note(1, 1, QStringLiteral("山田 太郎"), QStringLiteral("1000 円以上で達成"));
}

void addCode(XlsWriter& w) {
    w.setVbaCodePage(932);
    w.addModule(QStringLiteral("ThisWorkbook"), XlsModule::Document,
                QStringLiteral("Option Explicit\r\n\r\n"
                               "Private Sub Workbook_Open()\r\n"
                               "    ' 起動時にメニューを表示する\r\n"
                               "    Call ShowMenu\r\n"
                               "End Sub\r\n"));
    w.addModule(QStringLiteral("Sheet1"), XlsModule::Document,
                QStringLiteral("Option Explicit\r\n\r\n"
                               "Private Sub Worksheet_Change(ByVal Target As Range)\r\n"
                               "    If Target.Column = 4 Then Call Recalc(Target.Row)\r\n"
                               "End Sub\r\n"));
    w.addModule(QStringLiteral("Module1"), XlsModule::Standard,
                QStringLiteral("Option Explicit\r\n"
                               "' 受注入力の共通処理\r\n"
                               "Public Const TAX_RATE As Double = 1.1\r\n"
                               "Private mCount As Long\r\n\r\n"
                               "Type OrderLine\r\n"
                               "    Code As String\r\n"
                               "    Qty As Long\r\n"
                               "End Type\r\n\r\n"
                               "Public Sub ShowMenu()\r\n"
                               "    Dim msg As String\r\n"
                               "    msg = \"受注入力を開始します。\"\r\n"
                               "    MsgBox msg, vbInformation, _\r\n"
                               "        \"受注\"\r\n"
                               "End Sub\r\n\r\n"
                               "Public Function Recalc(ByVal rowNo As Long) As Double\r\n"
                               "    ' 金額を再計算する\r\n"
                               "    Dim price As Double, qty As Long\r\n"
                               "    price = Sheets(\"売上明細\").Cells(rowNo, 3).Value\r\n"
                               "    qty = Sheets(\"売上明細\").Cells(rowNo, 4).Value\r\n"
                               "    Recalc = price * qty * TAX_RATE\r\n"
                               "    mCount = mCount + 1\r\n"
                               "End Function\r\n\r\n"
                               "Private Sub ClearAll()\r\n"
                               "    Dim calc As New OrderCalc\r\n"
                               "    calc.Reset\r\n"
                               "End Sub\r\n"));
    w.addModule(QStringLiteral("OrderCalc"), XlsModule::Class,
                QStringLiteral("Option Explicit\r\n"
                               "Private mTotal As Currency\r\n\r\n"
                               "Public Property Get Total() As Currency\r\n"
                               "    Total = mTotal\r\n"
                               "End Property\r\n\r\n"
                               "Public Sub Reset()\r\n"
                               "    mTotal = 0\r\n"
                               "End Sub\r\n"));
    w.addForm(QStringLiteral("UserForm1"), QStringLiteral("受注入力"),
              QStringLiteral("Option Explicit\r\n\r\n"
                             "Private Sub UserForm_Initialize()\r\n"
                             "    Me.Caption = \"受注入力 (\" & Format(Date, \"yyyy/mm/dd\") & \")\"\r\n"
                             "End Sub\r\n"));
}

// Shape list and file list: a picture that runs a macro on the sales sheet;
// the summary sheet protected with a password and holding its own button;
// the price list the summary refers to, written beside the sample as its
// sister workbook.
void addShapeAndFileExtras(XlsWriter& w) {
    XlsShape& logo = w.sheet(0).picture(11, 0);
    logo.macro = QStringLiteral("ShowMenu");
    // A 24 x 16 blue logo with a red block in its middle.
    logo.png = QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000018000000100802000000834628c2000000204944415478da635048384015c430a2"
        "0cba606040108d1a346ad008ce22e421001be7da10d64719540000000049454e44ae426082");
    XlsSheet& summary = w.sheet(1);
    summary.protectedContents = true;
    summary.passwordHash = 0xCC3D;
    summary.button(3, 3, QStringLiteral("再計算"), QStringLiteral("Module1.Recalc"));
}

bool writeSisterWorkbook(const QString& samplePath) {
    XlsWriter prices;
    XlsSheet& sheet = prices.addSheet(QStringLiteral("Sheet1"));
    sheet.number(0, 0, 120).text(0, 1, QStringLiteral("基準単価"));
    const qsizetype slash = samplePath.lastIndexOf(u'/');
    return prices.save(samplePath.left(slash + 1) + QStringLiteral("Prices.xls"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.xls\n", argv[0]);
        return 2;
    }
    XlsWriter w;
    w.setProperties(QStringLiteral("受注管理システム"), QStringLiteral("山田 太郎"),
                    QStringLiteral("株式会社サンプル商事"));
    addSheets(w);
    addExternalReference(w);
    addShapes(w);
    // Workbook-level name used by the tax formula: 税率 -> '設定'!$B$1
    w.addName(QStringLiteral("税率"), Rgce().ref3d(2, 0, 1, false));
    addCode(w);
    addShapeAndFileExtras(w);
    if (!w.save(QString::fromLocal8Bit(argv[1])) || !writeSisterWorkbook(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
