#!/usr/bin/env bash
# Compiles the small help files the window tests open, with chmcmd (Debian fp-utils). The sources are written
# here rather than kept as files because some of them are GBK bytes, which the repository keeps as UTF-8 text.
#
#   default-topic.chm    no start-page name; its default topic "/HTML/intro.htm#start" is html/Intro.htm
#   chinese-gbk.chm      language 0x804; default topic 关于我们.htm written in GBK; its pages are GBK without
#                        a charset, one of them UTF-8 without one
#   start-name-wins.chm  index.htm and a different default topic, other.htm
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# project NAME OPTIONS FILES...: writes NAME.hhp with the [OPTIONS] lines given (CR LF separated) and compiles it.
project() {
    local name="$1" options="$2"
    shift 2
    {
        printf '[OPTIONS]\r\nCompiled file=%s.chm\r\n%s\r\n\r\n[FILES]\r\n' "$name" "$options"
        printf '%s\r\n' "$@"
    } >"$name.hhp"
    chmcmd --no-html-scan "$name.hhp" >/dev/null 2>&1
    mv -f "$name.chm" "$here/$name.chm"
}

mkdir -p "$work/default-topic/html" && cd "$work/default-topic"
printf '<html><body><a href="next.htm">next</a></body></html>' >html/Intro.htm
printf '<p>next</p>' >html/next.htm
printf '<p>top</p>' >top.htm
project default-topic $'Default topic=/HTML/intro.htm#start\r\nLanguage=0x409\r\nTitle=Default topic' \
    html/Intro.htm html/next.htm top.htm

# 关于我们 = GBK B9 D8 D3 DA CE D2 C3 C7; 中文页面 = D6 D0 CE C4 D2 B3 C3 E6; 第二页 = B5 DA B6 FE D2 B3.
mkdir -p "$work/chinese-gbk" && cd "$work/chinese-gbk"
printf '<html><body><p>\xd6\xd0\xce\xc4\xd2\xb3\xc3\xe6</p><a href="second.htm">second</a></body></html>' >关于我们.htm
printf '<p>\xb5\xda\xb6\xfe\xd2\xb3</p>' >second.htm
printf '<p>第二页</p>' >utf8.htm
printf '<p>top</p>' >top.htm
project chinese-gbk $'Default topic=\xb9\xd8\xd3\xda\xce\xd2\xc3\xc7.htm\r\nLanguage=0x804\r\nTitle=\xd6\xd0\xce\xc4' \
    关于我们.htm second.htm utf8.htm top.htm

mkdir -p "$work/start-name-wins" && cd "$work/start-name-wins"
printf '<p>index</p>' >index.htm
printf '<p>other</p>' >other.htm
project start-name-wins $'Default topic=other.htm\r\nLanguage=0x409' index.htm other.htm
