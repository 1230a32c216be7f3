#include "info/helptexts.h"

// Each line carries its own ending: a lone CR breaks the line and a second CR leaves a blank
// one, so the message box shows the paragraphs exactly as they were laid out. The trailing
// blanks of some lines belong to the texts as well.
void FillHelpTexts(HelpTexts& help) {
    help.drawingHelpText = {
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
    help.dataHelpText = {
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
    help.analysisHelpText = {
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

namespace {

// Lines end with CR; an empty entry leaves a blank line.
QString Lines(std::initializer_list<const char*> lines) {
    QString text;
    for (const char* line : lines)
        text += QString::fromUtf8(line) + QLatin1Char('\r');
    return text;
}

} // namespace

HelpTopic ExtraHelpTopic(HelpTopicId id) {
    switch (id) {
    case HelpTopicId::Results:
        return {QStringLiteral("mnuMessListItem"), QStringLiteral("解析結果の一覧(&T)"),
                QStringLiteral("解析結果の一覧と数値の見方です"),
                Lines({
                    "メニューの[解析項目]－[解析結果の一覧]を選択すると、読み込んだ",
                    "データの解析結果を表で表示します。上の表は年ごとのデータで、",
                    "順位・非超過確率・標準正規偏差と回帰直線の値が並んでいます。",
                    "見出しをクリックすると、その列の順に並べ替えます。",
                    "",
                    "下の表は再現期間ごとの渇水年・豊水年の値と、その標準誤差です。",
                    "標準誤差は、データを１個ずつ抜いて計算し直すジャックナイフ法で",
                    "求めています。記録の長さの２倍を超える再現期間は「外挿」です。",
                    "",
                    "μ は対数の平均、s は回帰直線の傾き（標準正規偏差１あたりの",
                    "対数の増え方）です。r は相関係数で、１に近いほど点が直線に",
                    "乗っています。SLSC は点と直線のずれの目安で、0.04 以下なら",
                    "当てはまりはよいと考えてください。記録が 10 件未満のときは、",
                    "標準誤差はおおまかな目安にしかなりません。",
                    "",
                    "「コピー」で表をクリップボードへ、「CSV 保存...」でファイルへ",
                    "書き出します。どちらも画面の桁数ではなく、計算したままの桁数で",
                    "書き出します。",
                })};
    case HelpTopicId::Band:
        return {QStringLiteral("mnuMessBandItem"), QStringLiteral("推定誤差の幅(&B)"),
                QStringLiteral("推定誤差の幅について"),
                Lines({
                    "メニューの[解析項目]－[推定誤差の幅を表示]を選択すると、回帰線の",
                    "両側に赤い破線を描きます。破線は各再現期間の値に標準誤差を",
                    "１つ分足したものと引いたもので、値がこのくらいはぶれるという",
                    "目安です。もう一度選択すると消えます。",
                    "",
                    "回帰線を描かない設定（回帰結果を表示しない）では描きません。",
                    "画面と印刷紙面の両方に描きます。記録が３件未満のときなど、",
                    "標準誤差が求められないときは描きません。",
                })};
    case HelpTopicId::Presets:
        return {QStringLiteral("mnuMessPlotPosItem"),
                QStringLiteral("プロッティング・ポジション(&P)"),
                QStringLiteral("プロッティング・ポジションについて"),
                Lines({
                    "非超過確率は F = (順位 - α) / (N + 1 - 2α) で計算します。",
                    "α の値はメインウィンドウの「確率計算のα値」に入力して、",
                    "「再計算」を押すか Enter キーを押すと使われます。",
                    "",
                    "よく使われる α の値は、メニューの[設定]－[プロッティング・",
                    "ポジション]から選べます。Weibull は 0、Blom は 0.375、",
                    "Cunnane は 0.4、Gringorten は 0.44、Hazen は 0.5 です。",
                    "使っている α に当たるものにチェックが付きます。",
                    "",
                    "α が大きすぎたり負の値だったりするときは、メッセージを出して",
                    "それまでの α に戻します。",
                })};
    case HelpTopicId::CommandLine:
        return {QStringLiteral("mnuMessCommandItem"), QStringLiteral("コマンドライン(&C)"),
                QStringLiteral("コマンドラインからの使い方です"),
                Lines({
                    "ウィンドウを開かずに、端末から印刷紙面や解析結果を作れます。",
                    "",
                    "quorvel --pdf rain.pdf rain.csv",
                    "    [印刷]と同じ紙面を PDF ファイルに出力します。",
                    "quorvel --pdf pages/ *.csv",
                    "    ファイルごとに pages/ファイル名.pdf を作ります。",
                    "quorvel --results *.csv",
                    "    解析結果を１ファイル１行の CSV で表示します（--json も可）。",
                    "quorvel --import annual.csv --days 2 data.csv",
                    "    観測データから年の値の系列を作り、annual.csv に書きます。",
                    "quorvel --import data.csv --results --distributions",
                    "    観測データから作った系列を、ファイルに書かずにそのまま解析します。",
                    "",
                    "--alpha、--scale、--mode、--widths、--offset、--title で",
                    "ウィンドウと同じ設定ができます。--scale を付けなければ、",
                    "横軸はデータに合わせます。",
                    "終了コードは、全部うまくいけば 0、失敗したファイルがあれば 1、",
                    "コマンドラインの指定の誤りは 2 です。詳しくは quorvel --help",
                    "で表示されます。",
                })};
    case HelpTopicId::Comparison:
        return {QStringLiteral("mnuMessCompareItem"), QStringLiteral("確率分布の比較(&K)"),
                QStringLiteral("確率分布の比較と選び方です"),
                Lines({
                    "メニューの[解析項目]－[確率分布の比較]を選択すると、対数正規分布の",
                    "ほかにいくつかの確率分布を同じデータに当てはめて、並べて表示します。",
                    "",
                    "SLSC は、点と分布の曲線のずれを 1% と 99% の値の幅で割ったもので、",
                    "小さいほどよく当てはまっています。0.04 以下を合格とします。",
                    "X-COR は、点の値と曲線の値の相関係数で、１に近いほど点が曲線に",
                    "乗っています。",
                    "ジャックナイフ誤差は、データを１個ずつ抜いて当てはめ直したときに",
                    "確率水文量がどのくらいぶれるかの目安です。小さいほど、その分布で",
                    "求めた値は安定しています。",
                    "",
                    "SLSC が 0.04 以下の分布のうち、目的の値（1/100 豊水年など）の",
                    "ジャックナイフ誤差が最も小さいものを選びます。合格する分布がない",
                    "ときは、どれも選びません。",
                    "",
                    "表の「曲線」に印を付けた分布は、比較の図に曲線で描きます。",
                    "[解析項目]－[比較した分布の曲線を表示]を選ぶと、同じ曲線を",
                    "メインウィンドウの図と印刷にも描きます。比較のウィンドウを",
                    "閉じても、印を付けた分布の曲線はそのまま残ります。",
                    "",
                    "「図を保存...」で図を PNG 画像か SVG 図形のファイルに保存します。",
                    "Ctrl+Shift+C で図を画像としてクリップボードにコピーします。",
                    "メインウィンドウの図も[ﾌｧｲﾙ]－[図を保存]で同じように保存できます。",
                })};
    case HelpTopicId::Durations:
        return {QStringLiteral("mnuMessDurationItem"), QStringLiteral("時間雨量と継続時間(&D)"),
                QStringLiteral("時間ごとの値と水文水質データベースのファイルです"),
                Lines({
                    "気象庁の時別値の CSV、水文水質データベースの時刻・日の雨量、",
                    "流量、水位のファイル（.dat）、10・20・30・60 分か１日ごとの",
                    "日時と値の表から、継続時間ごとの年最大値の表を作れます。",
                    "",
                    "quorvel --import table.csv --durations 1h,3h,24h rain.csv",
                    "    年ごとに、連続 1・3・24 時間の合計の最大を table.csv に",
                    "    書きます（見出し year,1h,3h,24h、除いた年は空欄）。",
                    "    table.json とすると、最大の終わりの日時や除いた理由も書きます。",
                    "quorvel --results --distributions table.csv",
                    "    表の継続時間ごとに解析します（最後の列 duration）。",
                    "",
                    "雨量は合計、流量と水位は平均が既定です（--aggregate で",
                    "sum・mean・max・min）。期間は欠測のない間だけ数え、",
                    "最後の区間のある年の値になります。--cross-year で年をまたぐ",
                    "期間も数えます（--days にも効きます）。時刻は区間の終わりが",
                    "既定です（--stamp start で始まり）。",
                    "--flow-duration で日流量の豊水・平水・低水・渇水流量",
                    "（95・185・275・355 日）を求めます。欠測の日のある年は除きます。",
                })};
    }
    return {};
}
