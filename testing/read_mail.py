#!/usr/bin/python3
"""Reads a message back with Python's email package and prints it as JSON:
the decoded headers, every header name in order, the text body, and each
attachment with its file name, type and bytes (base64)."""
import base64
import email
import email.policy
import json
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        message = email.message_from_binary_file(f, policy=email.policy.default)
    result = {
        "header_names": list(message.keys()),
        "headers": {k: str(v) for k, v in message.items()},
        "addresses": {k: [[a.display_name, a.addr_spec] for a in message[k].addresses]
                      for k in ("From", "To", "Reply-To") if message[k] is not None},
        "defects": [type(d).__name__ for d in message.defects],
        "multipart": message.is_multipart(),
        "content_type": message.get_content_type(),
        "body": None,
        "attachments": [],
    }
    for part in message.walk():
        result["defects"] += [type(d).__name__ for d in part.defects]
        if part.is_multipart():
            continue
        if part.get_content_disposition() == "attachment":
            result["attachments"].append({
                "filename": part.get_filename(),
                "content_type": part.get_content_type(),
                "data": base64.b64encode(part.get_payload(decode=True)).decode(),
            })
        elif part.get_content_type() == "text/plain" and result["body"] is None:
            result["body"] = part.get_content()
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
