#!/usr/bin/env python3
"""Reads a calendar file with the iCalendar library and prints its events as JSON.

Fails (exit status 1, a line on standard error) when the file breaks the line rules that a
lenient reader would forgive: lines not ended by CR LF, longer than 75 octets, or not UTF-8.
"""
import json
import sys

import icalendar


def check_lines(data):
    if not data.endswith(b"\r\n"):
        raise ValueError("the file does not end with CR LF")
    for number, line in enumerate(data[:-2].split(b"\r\n"), 1):
        if b"\r" in line or b"\n" in line:
            raise ValueError("line %d holds a bare line break" % number)
        if len(line) > 75:
            raise ValueError("line %d is %d octets long" % (number, len(line)))
        line.decode("utf-8")


def event_of(component):
    alarms = []
    for alarm in component.walk("VALARM"):
        trigger = alarm["TRIGGER"]
        alarms.append({
            "action": str(alarm["ACTION"]),
            "related": trigger.params.get("RELATED", "START"),
            "seconds": int(alarm.decoded("TRIGGER").total_seconds()),
            "description": str(alarm["DESCRIPTION"]),
        })
    start = component.decoded("DTSTART")
    return {
        "uid": str(component["UID"]),
        "summary": str(component["SUMMARY"]),
        "start": start.strftime("%Y-%m-%dT%H:%M:%S") + ("Z" if start.utcoffset().total_seconds() == 0 else "?"),
        "duration": int(component.decoded("DURATION").total_seconds()) if "DURATION" in component else None,
        "end": str(component["DTEND"].to_ical(), "ascii") if "DTEND" in component else None,
        "url": str(component["URL"]),
        "description": str(component["DESCRIPTION"]),
        "stamp": component.decoded("DTSTAMP").strftime("%Y-%m-%dT%H:%M:%SZ"),
        "alarms": alarms,
    }


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        check_lines(data)
        calendar = icalendar.Calendar.from_ical(data)
    except Exception as error:  # the test shows what the reader found wrong
        print("unreadable calendar: %s" % error, file=sys.stderr)
        return 1
    out = {
        "version": str(calendar["VERSION"]),
        "prodid": str(calendar["PRODID"]),
        "events": [event_of(c) for c in calendar.walk("VEVENT")],
    }
    json.dump(out, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
