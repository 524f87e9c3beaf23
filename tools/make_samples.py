#!/usr/bin/env python3
"""Writes the sample answer files of samples/ (code page 1251, CR LF).

Each respondent has a culture profile: a leaning of each of the four blocks of answers
(innovation, adaptation, competition, integration) and of each of the four base scales
(reward, involvement, agreement, communication), plus a fixed pseudo-random spread so the
answers look filled in by a person. The totals are computed from the answers, so every file
is consistent. Run again to get the same files byte for byte.

Usage: tools/make_samples.py [SAMPLES_DIR]   (default: samples/ beside tools/)
"""

import os
import random
import sys

BLOCK_NAMES = ["Инновация", "Адаптация", "Конкуренция", "Интеграция"]
SCALE_NAMES = ["Поощрение", "Вовлечение", "Согласие", "Коммуникация"]
TOTAL_NAMES = BLOCK_NAMES + SCALE_NAMES + ["Мотивация", "Климат", "Развитие", "Взаимодействие"]

ANSWERS_CAPTION = "Ответы на вопросы анкеты (1 - совсем не согласен, 7 - полностью согласен):"
TOTALS_CAPTION = "Итоговые показатели:"

GROUP_FOLDER = "Отдел продаж"
COMPANY_FOLDER = "Компания"
TREND_FOLDER = "Динамика"


def years_text(n):
    """'7 лет', '3 года', '21 год'."""
    if n % 10 == 1 and n % 100 != 11:
        word = "год"
    elif n % 10 in (2, 3, 4) and n % 100 not in (12, 13, 14):
        word = "года"
    else:
        word = "лет"
    return f"{n} {word}"


def make_answers(seed, blocks, scales, spread):
    """32 answers 1..7: block leaning + scale leaning + a small personal spread."""
    rng = random.Random(seed)
    answers = []
    for b in range(4):
        for i in range(8):
            k = i % 4  # answers k and k + 4 of a block feed base scale k
            jitter = rng.choice(spread)
            value = round(blocks[b] + scales[k] + jitter)
            answers.append(min(7, max(1, value)))
    return answers


def totals_of(answers):
    blocks = [sum(answers[8 * b:8 * b + 8]) for b in range(4)]
    scales = [sum(answers[8 * b + k] + answers[8 * b + k + 4] for b in range(4))
              for k in range(4)]
    motivation = scales[0] + scales[1]
    climate = scales[2] + scales[3]
    development = blocks[0] + blocks[1]
    interaction = blocks[2] + blocks[3]
    return blocks + scales + [motivation, climate, development, interaction]


def file_lines(r):
    answers = make_answers(r["seed"], r["blocks"], r["scales"], r["spread"])
    totals = totals_of(answers)
    lines = [
        r["date"],
        r["code"],
        r["name"],
        # An empty department leaves the whole line empty, as a respondent who skipped it does.
        r.get("department_line", "Подразделение: " + r["department"] if r["department"] else ""),
        "Должность: " + r["position"],
        "Стаж работы в организации: " + years_text(r["years"]),
        "Город: " + r["city"],
        ANSWERS_CAPTION,
    ]
    lines += [str(a) for a in answers]
    lines.append(TOTALS_CAPTION)
    lines += [f"{t:3d} {name}" for t, name in zip(totals, TOTAL_NAMES)]
    return lines


def write_file(path, lines):
    data = "".join(line + "\r\n" for line in lines).encode("cp1251")
    with open(path, "wb") as f:
        f.write(data)


PERSONAL = [0, 0, 0, 1, -1]
WIDE = [0, 1, -1, 1, -1, 2, -2]

# Single respondents of different kinds of organisation.
RESPONDENTS = [
    {   # innovative: new ideas and initiative rewarded, rules and procedures weak
        "file": "ivanov.txt", "seed": 101, "date": "14.03.2024", "code": "0417",
        "name": "Иванов Сергей Петрович",
        "department": "Отдел разработки новых продуктов", "position": "ведущий инженер",
        "years": 6, "city": "Екатеринбург",
        "blocks": [6.2, 4.8, 4.0, 2.4], "scales": [0.3, 0.6, -0.4, 0.0], "spread": PERSONAL,
    },
    {   # bureaucratic: integration and procedures high, innovation low
        "file": "petrova.txt", "seed": 202, "date": "15.03.2024", "code": "0418",
        "name": "Петрова Ольга Николаевна",
        "department": "Бухгалтерия", "position": "главный бухгалтер",
        "years": 21, "city": "Екатеринбург",
        "blocks": [2.0, 3.1, 3.4, 6.1], "scales": [-0.6, -0.3, 0.5, 0.2], "spread": PERSONAL,
    },
    {   # balanced: every block in the middle, wide personal spread
        "file": "sidorov.txt", "seed": 303, "date": "15.03.2024", "code": "0419",
        "name": "Сидоров Алексей Викторович",
        "department": "Служба логистики", "position": "начальник склада",
        "years": 3, "city": "Челябинск",
        "blocks": [4.1, 4.0, 3.9, 4.0], "scales": [0.0, 0.2, -0.2, 0.0], "spread": WIDE,
    },
    {   # market: competition and reward for results
        "file": "kuznetsova.txt", "seed": 404, "date": "18.03.2024", "code": "0420",
        "name": "Кузнецова Марина Александровна",
        "department": "Коммерческая дирекция", "position": "директор по развитию",
        "years": 9, "city": "Москва",
        "blocks": [4.6, 4.2, 6.3, 2.9], "scales": [1.0, -0.2, -0.6, 0.1], "spread": PERSONAL,
    },
    {   # adaptive: follows the market and customers, moderate initiative
        "file": "smirnov.txt", "seed": 505, "date": "19.03.2024", "code": "0421",
        "name": "Смирнов Дмитрий Игоревич",
        "department": "Отдел по работе с клиентами", "position": "менеджер проектов",
        "years": 2, "city": "Пермь",
        "blocks": [3.8, 6.0, 4.3, 3.6], "scales": [0.0, 0.4, 0.0, 0.5], "spread": PERSONAL,
    },
    {   # team culture: involvement, agreement and communication high, reward low
        "file": "volkova.txt", "seed": 606, "date": "20.03.2024", "code": "0422",
        "name": "Волкова Елена Сергеевна",
        "department": "Отдел кадров", "position": "специалист по обучению персонала",
        "years": 12, "city": "Тюмень",
        "blocks": [3.9, 4.4, 3.0, 5.3], "scales": [-1.1, 1.0, 0.8, 1.2], "spread": PERSONAL,
    },
]

# A sales department: a shared competitive leaning with each member's own accents.
SALES = {"department": "Отдел продаж", "city": "Екатеринбург", "date": "21.03.2024"}
GROUP = [
    {   # the head of the department
        "file": "morozov.txt", "seed": 1001, "code": "0501",
        "name": "Морозов Андрей Владимирович", "position": "начальник отдела продаж",
        "years": 11,
        "blocks": [4.8, 4.5, 6.1, 3.4], "scales": [0.8, 0.3, -0.3, 0.2], "spread": PERSONAL,
    },
    {
        "file": "lebedeva.txt", "seed": 1002, "code": "0502",
        "name": "Лебедева Анна Михайловна", "position": "старший менеджер по продажам",
        "years": 5,
        "blocks": [4.1, 5.2, 5.6, 3.9], "scales": [0.6, 0.0, -0.5, 0.4], "spread": PERSONAL,
    },
    {
        "file": "kozlov.txt", "seed": 1003, "code": "0503",
        "name": "Козлов Игорь Николаевич", "position": "менеджер по продажам",
        "years": 1,
        "blocks": [3.6, 4.4, 6.4, 2.7], "scales": [1.2, -0.6, -0.8, -0.2], "spread": WIDE,
    },
    {
        "file": "novikova.txt", "seed": 1004, "code": "0504",
        "name": "Новикова Татьяна Юрьевна", "position": "менеджер по работе с ключевыми клиентами",
        "years": 4,
        "blocks": [4.4, 5.0, 5.2, 4.5], "scales": [0.2, 0.5, 0.1, 0.6], "spread": PERSONAL,
    },
]


# A company of five departments of different sizes and one respondent who left the department
# empty, for the breakdown: the legal department (2) is below the default minimum of 3. Two
# sales people wrote their department in their own way (letter case, blanks around it).
COMPANY_DEPARTMENTS = [
    # department, file stem, size, city, blocks, scales, positions
    ("Производство", "proizv", 8, "Челябинск", [3.2, 4.0, 4.1, 5.0], [0.0, -0.5, 0.3, -0.4],
     ["мастер участка", "технолог", "оператор линии", "начальник цеха"]),
    ("Отдел продаж", "prodazhi", 6, "Екатеринбург", [4.6, 4.7, 6.0, 3.2], [1.0, 0.0, -0.5, 0.2],
     ["менеджер по продажам", "старший менеджер по продажам", "начальник отдела продаж"]),
    ("Бухгалтерия", "buh", 4, "Екатеринбург", [2.3, 3.2, 3.4, 5.9], [-0.5, -0.3, 0.5, 0.1],
     ["бухгалтер", "главный бухгалтер", "экономист"]),
    ("Отдел кадров", "kadry", 3, "Екатеринбург", [3.9, 4.4, 3.1, 5.2], [-1.0, 1.0, 0.8, 1.1],
     ["специалист по кадрам", "начальник отдела кадров"]),
    ("Юридический отдел", "yurist", 2, "Москва", [2.8, 3.6, 4.4, 5.4], [0.2, -0.4, 0.0, -0.2],
     ["юрисконсульт", "начальник юридического отдела"]),
    ("", "bez_otdela", 1, "Пермь", [4.0, 4.0, 4.0, 4.0], [0.0, 0.0, 0.0, 0.0],
     ["специалист"]),
]
COMPANY_DEPARTMENT_SPELLINGS = {
    ("prodazhi", 2): "Подразделение: отдел продаж",
    ("prodazhi", 5): "  Подразделение: Отдел продаж  ",
}
COMPANY_SURNAMES = ["Андреев", "Белов", "Гусев", "Данилов", "Ершов", "Жуков", "Зайцев", "Ильин",
                    "Карпов", "Лосев", "Мельников", "Никитин", "Орлов", "Павлов", "Романов",
                    "Соловьёв", "Тарасов", "Уваров", "Фролов", "Харитонов", "Цветков", "Чернов",
                    "Шубин", "Яковлев"]
COMPANY_NAMES = [("Алексей", "Алексеевич"), ("Мария", "Ивановна"), ("Олег", "Петрович"),
                 ("Наталья", "Сергеевна"), ("Павел", "Андреевич"), ("Ирина", "Викторовна")]


def company_respondents():
    """The company's files: department by department, a leaning shared with small shifts."""
    people = []
    n = 0
    for department, stem, size, city, blocks, scales, positions in COMPANY_DEPARTMENTS:
        for i in range(size):
            rng = random.Random(7000 + n)
            first, patronymic = COMPANY_NAMES[n % len(COMPANY_NAMES)]
            surname = COMPANY_SURNAMES[n]
            if first.endswith("а") or first.endswith("я"):
                surname = surname + "а"
            person = {
                "file": f"{stem}{i + 1}.txt", "seed": 7000 + n, "date": "02.04.2024",
                "code": f"{1101 + n:04d}", "name": f"{surname} {first} {patronymic}",
                "department": department, "position": positions[i % len(positions)],
                "years": 1 + rng.randrange(20), "city": city,
                "blocks": [b + rng.uniform(-0.4, 0.4) for b in blocks], "scales": scales,
                "spread": PERSONAL,
            }
            spelling = COMPANY_DEPARTMENT_SPELLINGS.get((stem, i + 1))
            if spelling:
                person["department_line"] = spelling
            people.append(person)
            n += 1
    return people


# A small firm surveyed three years running, a folder per year under one parent, for the trend:
# a new director opens it up year by year (innovation and involvement rise, rules and
# competition ease), while a few people leave and others join.
TREND_WAVES = [
    # year, date, blocks, scales, staff (indices into TREND_STAFF)
    ("2023", "14.03.2023", [3.2, 3.9, 4.8, 5.0], [0.4, -0.6, 0.2, -0.3], range(0, 9)),
    ("2024", "12.03.2024", [3.9, 4.2, 4.4, 4.6], [0.3, 0.0, 0.2, 0.1], range(1, 11)),
    ("2025", "18.03.2025", [4.8, 4.7, 4.0, 4.3], [0.2, 0.6, 0.1, 0.5], range(2, 13)),
]
TREND_STAFF = [
    ("Гаврилов Илья Сергеевич", "директор"), ("Киселёва Анна Петровна", "главный бухгалтер"),
    ("Лаптев Денис Олегович", "менеджер по продажам"), ("Миронова Светлана Игоревна", "дизайнер"),
    ("Нестеров Артём Павлович", "инженер"), ("Осипова Юлия Андреевна", "менеджер проектов"),
    ("Пахомов Роман Викторович", "технолог"), ("Родионова Елена Юрьевна", "специалист по кадрам"),
    ("Сафонов Кирилл Дмитриевич", "инженер"), ("Титова Дарья Алексеевна", "маркетолог"),
    ("Ульянов Максим Ильич", "программист"), ("Фомина Ольга Васильевна", "менеджер по продажам"),
    ("Широков Антон Евгеньевич", "аналитик"),
]


def trend_respondents(year, date, blocks, scales, staff):
    """One wave's files: the year's leaning, each person with their own steady accent."""
    people = []
    for n in staff:
        name, position = TREND_STAFF[n]
        accent = random.Random(9000 + n)
        rng = random.Random(int(year) * 100 + n)
        people.append({
            "file": f"r{n + 1:02d}.txt", "seed": int(year) * 100 + n, "date": date,
            "code": f"{2301 + n:04d}", "name": name, "department": "ООО «Северный ветер»",
            "position": position, "years": 1 + n % 7 + int(year) - 2023, "city": "Вологда",
            "blocks": [b + accent.uniform(-0.5, 0.5) + rng.uniform(-0.2, 0.2) for b in blocks],
            "scales": scales, "spread": PERSONAL,
        })
    return people


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    samples = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples")
    group = os.path.join(samples, GROUP_FOLDER)
    os.makedirs(group, exist_ok=True)
    for r in RESPONDENTS:
        write_file(os.path.join(samples, r["file"]), file_lines(r))
    for member in GROUP:
        write_file(os.path.join(group, member["file"]), file_lines({**SALES, **member}))
    company = os.path.join(samples, COMPANY_FOLDER)
    os.makedirs(company, exist_ok=True)
    for person in company_respondents():
        write_file(os.path.join(company, person["file"]), file_lines(person))
    for year, date, blocks, scales, staff in TREND_WAVES:
        wave = os.path.join(samples, TREND_FOLDER, year)
        os.makedirs(wave, exist_ok=True)
        for person in trend_respondents(year, date, blocks, scales, staff):
            write_file(os.path.join(wave, person["file"]), file_lines(person))


if __name__ == "__main__":
    main()
