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
        QStringLiteral("位置や各々の線の太さを調節してみてください。\r\r"
                       "プリンターが一台もないときは、[印刷]で PDF ファイルの名前を聞いて、\r"
                       "印刷紙面と同じものをそのファイルに書き出します。ファイルを開いて\r"
                       "ほかの機械から印刷できます。\r\n"),
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
                    "ssh や cron からも、画面なしで動きます。",
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
                    "--scale を付けなければ、横軸はデータに合わせます。",
                    "--results の CSV の末尾の value_dry10 ～ value_wet100 は、紙面の",
                    "整数に丸める前の値です。--distributions の CSV の末尾には、",
                    "記録数・α・選定基準（records、alpha、target）が付きます。",
                    "--bom を付けると CSV の先頭に BOM を付けます（表計算ソフト向け）。",
                    "--json の各分布の母数（parameters）の対数は、ln2_paper の log_mean",
                    "と slope、ln3_iwai の mean と sd、lp3 の mean と sd が常用対数",
                    "（log10）、ln2_pm と ln2_lm の mu と sigma、ln3_q の mu と sigma",
                    "が自然対数（ln）です。ほかの分布の母数は値そのものの尺度です。",
                    "",
                    "終了コードは、全部うまくいけば 0、失敗したファイルがあれば 1、",
                    "コマンドラインの指定の誤りは 2 です。",
                    "",
                    "オプションの一覧（quorvel --help と同じ）：",
                })};
    case HelpTopicId::Import:
        return {QStringLiteral("mnuMessImportItem"), QStringLiteral("観測データの取り込み(&I)"),
                QStringLiteral("観測データの取り込み方です"),
                Lines({
                    "メニューの[ﾌｧｲﾙ]－[取り込み]で、ダウンロードしたままの観測データ",
                    "から年ごとの値の系列を作ります。読めるファイルは次のとおりです。",
                    "・気象庁の「過去の気象データ・ダウンロード」の CSV（日別・月別・",
                    "  年別の値。品質情報・均質番号・現象なし情報の列、複数の地点や",
                    "  項目が並んだものも読めます）",
                    "・表計算ソフトの CSV やタブ区切りのテキスト（「Unicode テキスト」",
                    "  も読めます）、空白やセミコロンで区切ったテキスト",
                    "文字コードは Shift-JIS、UTF-8（BOM 付きも）、UTF-16（BOM 付き）",
                    "です。日付は 1990、1990/1、1990/1/1、1990-01-01、1990年1月1日",
                    "の形か、年・月・日が別々の列になった形で、年は 1000～9999 です。",
                    "",
                    "日付の列・値の列：見つけた列が違うときは選び直します。",
                    "集計：日や月の値の年合計、年最大、年最大 2～7 日（連続する日の",
                    "  合計の最大。日ごとの値だけ）から選びます。",
                    "年の始まり：1 月以外を選ぶと、その月から翌年の前の月までを",
                    "  1 年とし、始まる年の名前で呼びます。4 月は年度、10 月は水年で、",
                    "  2020 年 4 月～2021 年 3 月は 2020 年度です。",
                    "有効な日（月）の割合：欠測などで有効な値がこれに満たない年は",
                    "  除きます（既定 80 %）。",
                    "期間：取り込む最初と最後の年です。",
                    "年ごとの値のファイルでは、集計・年の始まり・割合は使いません。",
                    "",
                    "除いた年は表の「備考」に理由が出ます。その年はグラフにも解析にも",
                    "入らず、メインウィンドウは、データの誤りではなく取り込みで除いた",
                    "年として、理由と一緒に知らせます。",
                    "",
                    "「グラフに表示」はファイルに書かずにそのまま解析します。",
                    "「エディタで開く」はデータ作成のエディタに入れ、保存すると解析",
                    "します。「CSV 保存...」は年と値の CSV ファイルに書き出します。",
                    "横軸のタイトルは、作った系列に合わせて「年最大日降水量　(mm)」",
                    "「年降水量　(mm)」などになります。",
                    "",
                    "コマンドラインでは --import に、--aggregate（sum か max）、",
                    "--days、--year-start、--coverage、--date-column、--value-column、",
                    "--from、--to で同じ選び方ができます。",
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
    }
    return {};
}
