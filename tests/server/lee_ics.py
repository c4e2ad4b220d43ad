#!/usr/bin/python3
# Reads a calendar file with an independent parser (python3-icalendar) and
# prints one JSON object per VEVENT. The UTC offset of each start is worked
# out twice: from the file's own VTIMEZONE (what a strict client uses) and
# from the system's zone data for its TZID; both are printed.
import datetime
import json
import sys
import zoneinfo

from icalendar import Calendar

cal = Calendar.from_ical(open(sys.argv[1], "rb").read())

reglas = {}
for tz in cal.walk("VTIMEZONE"):
    partes = []
    for parte in tz.subcomponents:
        inicio = parte.get("DTSTART").dt.replace(tzinfo=None)
        partes.append((inicio, int(parte.get("TZOFFSETTO").td.total_seconds() // 60)))
    reglas[str(tz.get("TZID"))] = sorted(partes)


def desfase(local, tzid):
    vigente = None
    for inicio, minutos in reglas.get(tzid, []):
        if inicio <= local:
            vigente = minutos
    return vigente


for ev in cal.walk("VEVENT"):
    inicio = ev.get("DTSTART")
    fin = ev.get("DTEND")
    todo_el_dia = not isinstance(inicio.dt, datetime.datetime)
    r = {
        "uid": str(ev.get("UID")),
        "sequence": int(ev.get("SEQUENCE")),
        "status": str(ev.get("STATUS")),
        "summary": str(ev.get("SUMMARY")),
        "location": str(ev.get("LOCATION", "")),
        "description": str(ev.get("DESCRIPTION", "")),
        "todo_el_dia": todo_el_dia,
        "inicio": inicio.dt.isoformat()[:19] if not todo_el_dia else inicio.dt.isoformat(),
        "fin": fin.dt.isoformat()[:19] if not todo_el_dia else fin.dt.isoformat(),
    }
    if not todo_el_dia:
        tzid = str(inicio.params.get("TZID"))
        local = inicio.dt.replace(tzinfo=None)
        r["tzid"] = tzid
        r["desfase_vtimezone"] = desfase(local, tzid)
        r["desfase_sistema"] = int(
            local.replace(tzinfo=zoneinfo.ZoneInfo(tzid)).utcoffset().total_seconds() // 60)
    print(json.dumps(r, ensure_ascii=False))
