#!/usr/bin/env python3
"""Synthetic observation files for the samples and the benches: never downloaded data.

    tools/make-samples.py data/samples                 # the committed samples
    tools/make-samples.py --hourly-years 100 OUT.csv   # a large hourly file in the Agency's layout
    tools/make-samples.py --ten-minute-years 30 OUT.csv

The values come from a seeded generator, so every run writes the same bytes.
"""
import datetime
import random
import sys

CRLF = "\r\n"


def rain(rng, wet):
    """One interval's rainfall in mm: mostly dry, showers in wet spells."""
    if not wet or rng.random() < 0.6:
        return 0.0
    return round(rng.expovariate(1 / 3.0), 1)


def agency_hourly(first_year, years, rng):
    lines = ["ダウンロードした時刻：2025/01/15 09:30:00", "",
             ",サンプル観測所（合成データ）,サンプル観測所（合成データ）,サンプル観測所（合成データ）,サンプル観測所（合成データ）",
             "年月日時,降水量(mm),降水量(mm),降水量(mm),降水量(mm)",
             ",,現象なし情報,品質情報,均質番号"]
    t = datetime.datetime(first_year, 1, 1, 1)
    end = datetime.datetime(first_year + years, 1, 1, 1)
    wet = False
    while t < end:
        if rng.random() < 0.02:
            wet = not wet
        v = rain(rng, wet)
        quality = "8" if rng.random() > 0.001 else "1"
        lines.append("%d/%d/%d %d:00:00,%s,%s,%s,1" % (t.year, t.month, t.day, t.hour, "%.1f" % v,
                                                      "1" if v == 0 else "0", quality))
        t += datetime.timedelta(hours=1)
    return CRLF.join(lines) + CRLF


def ten_minute(first_year, years, rng):
    lines = ["日時,降水量(mm)"]
    t = datetime.datetime(first_year, 1, 1, 0, 10)
    end = datetime.datetime(first_year + years, 1, 1, 0, 10)
    wet = False
    while t < end:
        if rng.random() < 0.005:
            wet = not wet
        lines.append("%s,%.1f" % (t.strftime("%Y-%m-%d %H:%M"), rain(rng, wet) / 3))
        t += datetime.timedelta(minutes=10)
    return CRLF.join(lines) + CRLF


RIVER_HEAD = ["水系名,合成水系", "河川名,合成川", "観測所名,サンプル（合成）", "観測所記号,000000000000000"]


def flow(rng, day_of_year, hour=0):
    base = 40 + 30 * (1 + __import__("math").sin(day_of_year / 58.0))
    return base * rng.uniform(0.8, 1.3) + (400 * rng.random() if rng.random() < 0.01 else 0)


def river_hourly(first_year, years, rng):
    lines = ["時刻流量月表検索結果"] + RIVER_HEAD + [
        "#日付," + ",".join("%d時データ,%d時フラグ" % (h, h) for h in range(1, 25)),
        "#フラグの意味：$ 欠測、# 閉局、- 未登録、* 暫定値",
        "," + ",".join("%d時," % h for h in range(1, 25))[:-1] + ","]
    day = datetime.date(first_year, 1, 1)
    while day < datetime.date(first_year + years, 1, 1):
        cells = []
        for hour in range(24):
            v = "%.2f" % flow(rng, day.timetuple().tm_yday, hour)
            flag = ""
            r = rng.random()
            if r < 0.002:
                v, flag = "-9999.99", "$"
            elif r < 0.004:
                flag = "*"
            cells += [v, flag]
        lines.append(day.strftime("%Y/%m/%d") + "," + ",".join(cells))
        day += datetime.timedelta(days=1)
    return CRLF.join(lines) + CRLF


def river_daily(first_year, years, rng):
    lines = ["日流量年表検索結果"] + RIVER_HEAD + [
        "#月," + ",".join("%d日データ,%d日フラグ" % (d, d) for d in range(1, 32)) + ",月平均データ,月平均フラグ",
        "#フラグの意味：$ 欠測、# 閉局、- 未登録、* 暫定値",
        "," + ",".join("%d日," % d for d in range(1, 32)) + "月平均,"]
    for year in range(first_year, first_year + years):
        lines.append("%d年" % year)
        for month in range(1, 13):
            cells = []
            values = []
            for d in range(1, 32):
                try:
                    day = datetime.date(year, month, d)
                except ValueError:
                    cells += ["", ""]
                    continue
                v = flow(rng, day.timetuple().tm_yday)
                flag = ""
                # One year misses a few days, so its flow-duration values are left out.
                if year == first_year + 2 and month == 8 and d in (10, 11, 12):
                    cells += ["-9999.00", "$"]
                    continue
                values.append(round(v, 2))
                cells += ["%.2f" % v, flag]
            cells += ["%.2f" % (sum(values) / len(values)), ""]
            lines.append("%d月," % month + ",".join(cells))
    return CRLF.join(lines) + CRLF


def write(path, text):
    with open(path, "wb") as f:
        f.write(text.encode("cp932"))


def main(argv):
    if len(argv) == 3 and argv[0] == "--hourly-years":
        write(argv[2], agency_hourly(1920, int(argv[1]), random.Random(1)))
    elif len(argv) == 3 and argv[0] == "--ten-minute-years":
        write(argv[2], ten_minute(1990, int(argv[1]), random.Random(2)))
    elif len(argv) == 1:
        folder = argv[0]
        write(folder + "/agency_hourly_synthetic.csv", agency_hourly(2019, 2, random.Random(3)))
        write(folder + "/river_hourly_synthetic.dat", river_hourly(2019, 2, random.Random(4)))
        write(folder + "/river_daily_synthetic.dat", river_daily(2015, 5, random.Random(5)))
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
