#!/usr/bin/env python3
"""Writes a realistic AddressTable.csv of N persons for the benchmarks.

Shift_JIS (code page 932), CR LF, a comment header, readings over every
kana row (and some katakana or Latin ones), some persons with several phone
kinds. The same N always gives the same bytes. The last person's name
occurs nowhere else, so a lookup of it reads the whole file.

usage: make_table.py PERSONS OUTPUT_FILE
"""

import random
import sys

# The last person of every file, and a name that is in no file.
LAST_NAME = "最後尾　望"
LAST_READING = "さいごび　のぞみ"

ROW_HEADS = [
    "あいうえお", "かきくけこがぎぐげご", "さしすせそざじずぜぞ", "たちつてとだぢづでど",
    "なにぬねの", "はひふへほばびぶべぼぱぴぷぺぽ", "まみむめも", "やゐゆゑよ", "らりるれろ", "わをん",
]

# Surnames by the row of their reading, weighted roughly as in a Japanese
# company list; the か row holds about a tenth of the persons.
SURNAMES = {
    0: (16, [("青木", "あおき"), ("石井", "いしい"), ("上田", "うえだ"), ("遠藤", "えんどう"), ("小川", "おがわ"),
             ("伊藤", "いとう"), ("井上", "いのうえ"), ("阿部", "あべ"), ("岡田", "おかだ"), ("今井", "いまい")]),
    1: (10, [("加藤", "かとう"), ("木村", "きむら"), ("工藤", "くどう"), ("小林", "こばやし"), ("近藤", "こんどう"),
             ("菊地", "きくち"), ("川口", "かわぐち"), ("後藤", "ごとう"), ("久保", "くぼ"), ("北村", "きたむら")]),
    2: (16, [("佐藤", "さとう"), ("鈴木", "すずき"), ("清水", "しみず"), ("斎藤", "さいとう"), ("坂本", "さかもと"),
             ("関", "せき"), ("杉山", "すぎやま"), ("菅原", "すがわら"), ("酒井", "さかい"), ("島田", "しまだ")]),
    3: (13, [("高橋", "たかはし"), ("田中", "たなか"), ("土屋", "つちや"), ("徳田", "とくだ"), ("千葉", "ちば"),
             ("高木", "たかぎ"), ("武田", "たけだ"), ("辻", "つじ"), ("寺田", "てらだ"), ("土井", "どい")]),
    4: (9, [("中村", "なかむら"), ("西村", "にしむら"), ("沼田", "ぬまた"), ("根本", "ねもと"), ("野口", "のぐち"),
            ("中島", "なかじま"), ("中野", "なかの"), ("西田", "にしだ"), ("新井", "にい"), ("野村", "のむら")]),
    5: (11, [("林", "はやし"), ("平野", "ひらの"), ("藤田", "ふじた"), ("本田", "ほんだ"), ("橋本", "はしもと"),
             ("原田", "はらだ"), ("福田", "ふくだ"), ("堀", "ほり"), ("服部", "はっとり"), ("別府", "べっぷ")]),
    6: (10, [("松本", "まつもと"), ("宮崎", "みやざき"), ("村上", "むらかみ"), ("目黒", "めぐろ"), ("森", "もり"),
             ("前田", "まえだ"), ("三浦", "みうら"), ("宮本", "みやもと"), ("丸山", "まるやま"), ("望月", "もちづき")]),
    7: (6, [("山田", "やまだ"), ("山本", "やまもと"), ("湯川", "ゆかわ"), ("横山", "よこやま"), ("吉田", "よしだ"),
            ("矢野", "やの"), ("安田", "やすだ"), ("結城", "ゆうき"), ("吉川", "よしかわ"), ("山口", "やまぐち")]),
    8: (2, [("力石", "りきいし"), ("冷泉", "れいぜい"), ("六角", "ろっかく"), ("良知", "らち"), ("留守", "るす")]),
    9: (4, [("渡辺", "わたなべ"), ("和田", "わだ"), ("若林", "わかばやし"), ("鷲尾", "わしお"), ("脇田", "わきた")]),
}
OTHER_SURNAMES = [("アンダーソン", "アンダーソン"), ("スミス", "スミス"), ("Brown", "Brown"), ("Lee", "Lee"),
                  ("ガルシア", "ガルシア"), ("Mueller", "Mueller"), ("キム", "キム"), ("Wang", "Wang")]
OTHER_WEIGHT = 3

GIVEN_HEADS = [("健", "けん"), ("大", "だい"), ("翔", "しょう"), ("美", "み"), ("優", "ゆう"), ("和", "かず"),
               ("真", "ま"), ("陽", "よう"), ("智", "とも"), ("恵", "え"), ("直", "なお"), ("由", "ゆ"),
               ("拓", "たく"), ("亮", "りょう"), ("彩", "あや"), ("誠", "まこと"), ("千", "ち"), ("秀", "ひで"),
               ("正", "まさ"), ("洋", "よう")]
GIVEN_TAILS = [("太", "た"), ("介", "すけ"), ("子", "こ"), ("樹", "き"), ("斗", "と"), ("香", "か"),
               ("奈", "な"), ("也", "や"), ("人", "と"), ("美", "み"), ("平", "へい"), ("郎", "ろう"),
               ("代", "よ"), ("輝", "てる"), ("江", "え"), ("一", "いち"), ("里", "り"), ("司", "じ"),
               ("乃", "の"), ("彦", "ひこ")]

PLACES = [("東京都千代田区", "100", "0005", "丸の内"), ("東京都新宿区", "160", "0022", "新宿"),
          ("大阪府大阪市北区", "530", "0001", "梅田"), ("愛知県名古屋市中区", "460", "0008", "栄"),
          ("北海道札幌市中央区", "060", "0042", "大通西"), ("福岡県福岡市博多区", "812", "0011", "博多駅前"),
          ("京都府京都市左京区", "606", "8501", "吉田本町"), ("宮城県仙台市青葉区", "980", "0811", "一番町"),
          ("広島県広島市中区", "730", "0011", "基町"), ("沖縄県那覇市", "900", "0015", "久茂地")]
BUILDINGS = ["", "", "", " コーポ桜205", " メゾン青葉1103", " 第二ビル3F", " ハイツ緑102"]
PHONE_HEADS = [("03", "06", "052", "011"), ("090", "080", "070"), ("070",), ("020",)]


def _weighted_rows():
    rows = []
    for code, (weight, names) in SURNAMES.items():
        rows.append((weight, code, names))
    rows.append((OTHER_WEIGHT, 99, OTHER_SURNAMES))
    return rows


def row_code(reading):
    first = reading[0]
    for code, heads in enumerate(ROW_HEADS):
        if first in heads:
            return code
    return 99


def phone_parts(rnd):
    parts = []
    kinds = rnd.choices([0, 1, 2, 3], weights=[2, 5, 2, 1])[0]
    chosen = set(rnd.sample(range(4), kinds))
    for kind in range(4):
        if kind in chosen:
            parts += [rnd.choice(PHONE_HEADS[kind]), f"{rnd.randrange(100, 10000)}", f"{rnd.randrange(1000, 10000)}"]
        else:
            parts += ["*", "*", "*"]
    return parts


def person(rnd, index, rows):
    _, _, surnames = rnd.choices(rows, weights=[r[0] for r in rows])[0]
    surname, surname_reading = rnd.choice(surnames)
    head, head_reading = rnd.choice(GIVEN_HEADS)
    tail, tail_reading = rnd.choice(GIVEN_TAILS)
    return f"{surname}　{head}{tail}", f"{surname_reading}　{head_reading}{tail_reading}"


def line(rnd, index, name, reading):
    place, zip1, zip2, town = rnd.choice(PLACES)
    address2 = f"{town}{rnd.randrange(1, 10)}-{rnd.randrange(1, 30)}-{rnd.randrange(1, 20)}{rnd.choice(BUILDINGS)}"
    email = f"p{index}@example.jp" if rnd.random() < 0.6 else ""
    blood = rnd.choice([0, 0, 0, 0, 1, 1, 2, 2, 2, 3, -1])
    fields = [str(row_code(reading)), reading, name, place, address2,
              str(rnd.randrange(1930, 2011)), str(rnd.randrange(1, 13)), str(rnd.randrange(1, 29)), str(blood),
              email, zip1, zip2, str(rnd.randrange(2))] + phone_parts(rnd)
    return ",".join(fields)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    count = int(sys.argv[1])
    rnd = random.Random(count)
    rows = _weighted_rows()
    with open(sys.argv[2], "wb") as out:
        out.write("# なまえ☆ばこ！ 住所録\r\n# 区分,よみ,名前,住所1,住所2,年,月,日,血液型,メール,〒,〒,性別,電話…\r\n"
                  .encode("cp932"))
        chunk = []
        for index in range(count):
            name, reading = (LAST_NAME, LAST_READING) if index == count - 1 else person(rnd, index, rows)
            chunk.append(line(rnd, index, name, reading))
            if len(chunk) == 10000 or index == count - 1:
                out.write(("\r\n".join(chunk) + "\r\n").encode("cp932"))
                chunk = []


if __name__ == "__main__":
    main()
