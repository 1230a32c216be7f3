#include "info/helptexts.h"

// Each line carries its own ending: a lone CR breaks the line and a second CR leaves a blank
// one, so the message box shows the paragraphs exactly as they were laid out. The trailing
// blanks of some lines belong to the texts as well.
void FillHelpTexts(AppState& state) {
    state.help.drawingHelpText = {
        QStringLiteral("作図方法と印刷にあたっての注意点です"),
        QStringLiteral("年データの非超過確率を計算し作図・印刷するプログラムです。  \r\r"),
        QStringLiteral("処理する年データは、ＣＳＶテキストファイルから読み込みます。\r"),
        QStringLiteral("データ読み込みは、メニューの[ファイル]－[開く]でファイル名を\r"),
        QStringLiteral("選択してください。正常なデータであれば、デフォルトのスケール\r"),
        QStringLiteral("で勝手に作図します。横軸のスケール（年データ）が気に入らない\r"),
        QStringLiteral("場合は、メニューの[設定]－[横軸最大(小)値の設定]で好きに設定\r"),
        QStringLiteral("してください。設定が変わるたびに画面上で繰り返し作図します。\r\r"),
        QStringLiteral("印刷はメニューの[ファイル]－[印刷]を選択すると実行します。 \r"),
        QStringLiteral("印刷では、強制的にＡ４版縦置で出力するように設定しています。\r"),
        QStringLiteral("なお、印刷結果は使用するプリンターによって微妙に異なると予想\r"),
        QStringLiteral("されますが、作図位置や線の太さに不具合がでるかもしれません。\r"),
        QStringLiteral("とりあえず一度印刷してから、メニュー[設定]のなかで作図する\r"),
        QStringLiteral("位置や各々の線の太さを調節してみてください。\r\n"),
    };
    state.help.dataHelpText = {
        QStringLiteral("データファイルの作成にあたっての注意点です"),
        QStringLiteral("データファイルは、１行に西暦年と年データの順で数値を併記して\r"),
        QStringLiteral("カンマまたはスペースで区切り、処理したい年数分の行数からなる\r"),
        QStringLiteral("テキストになるようにエディターなどでうまく作成してください。\r\r"),
        QStringLiteral("エクセルの「ＣＳＶ形式保存」が一番手っ取り早いと思います。 \r\r"),
        QStringLiteral("メニューの「データ作成」を選択すると専用の簡易エディタが起動\r"),
        QStringLiteral("します（zivived）。あくまで簡易エディタなので最小限の\r"),
        QStringLiteral("機能しかありませんが、新規作成を選択してデータを作成する年を\r"),
        QStringLiteral("入力すれば、西暦年の数字だけは勝手に入力します。西暦年の数字\r"),
        QStringLiteral("の右３桁目にカーソルを移動して対応する年降水量を入力すれば、\r"),
        QStringLiteral("必要なデータ入力は完了するようになっています。なお、この簡易\r"),
        QStringLiteral("エディタで入力する場合は、リターンキーをなるべく使用しないで\r"),
        QStringLiteral("ください。改行マークだけの行ができてしまうと、作図プログラム\r"),
        QStringLiteral("で読み込むときにエラーになります。\r"),
    };
    state.help.analysisHelpText = {
        QStringLiteral("解析項目について"),
        QStringLiteral("このプログラムは、データの分布形状を直線回帰して解析します。\r"),
        QStringLiteral("ただし、回帰直線や計算結果を印字しないほうがよい場合もあると\r"),
        QStringLiteral("想定して、回帰線や結果印字の有無を選択できるようにしました。\r\r"),
        QStringLiteral("デフォルトでは、回帰線・計算結果ともにプリンタ出力しません。\r\r"),
        QStringLiteral("解析結果を印字したい場合はメニュー「解析項目」で選択します。\r"),
        QStringLiteral("何も描かない・回帰線のみ描く・回帰線と計算結果を描く、の３つ\r"),
        QStringLiteral("のパターンのうちの１つだけが有効になります。"),
    };
}
