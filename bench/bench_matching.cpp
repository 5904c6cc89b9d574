// What matching costs on every arriving message: reading the recipient lists out of the
// transport headers and finding the identity, and how FindIdentity grows with the number
// of identities in the profile.
#include <benchmark/benchmark.h>

#include "addin/identity_match.h"
#include "addin/identity_table.h"
#include "addin/transport_headers.h"
#include "text/text.h"

namespace {

using korvanel::addin::FindIdentity;
using korvanel::addin::GetToCcList;
using korvanel::addin::GetXRecipientList;
using korvanel::addin::IdentityRow;
using korvanel::addin::IdentityTable;
using korvanel::text::Text;

Text number(int n) { return korvanel::text::toText(n); }

// Identities ident0@contoso.com ... with a second row sharing the first one's address.
IdentityTable identities(int count) {
  IdentityTable table;
  for (int i = 0; i < count; ++i) {
    const Text email = u"ident" + number(i) + u"@contoso.com";
    const Text name = u"Identity " + number(i);
    table.addRow(IdentityRow{u"000000" + number(10 + i % 90), email, name,
                             u"EX [" + name + u" <" + email + u">]", number(i + 2)});
  }
  return table;
}

// Twenty recipients, the last of them one of the user's identities under a display name
// that differs from the identity's, so the whole rule runs (candidate, then name check).
Text recipientLine(int identity) {
  Text line;
  for (int i = 0; i < 19; ++i) {
    if (i > 0) line += u", ";
    if (i % 3 == 0) {
      line += u"\"Colleague, No. " + number(i) + u"\" <colleague" + number(i) + u"@fabrikam.com>";
    } else if (i % 3 == 1) {
      line += u"Partner " + number(i) + u" <partner" + number(i) + u"@northwind.example>";
    } else {
      line += u"person" + number(i) + u"@adventure-works.example";
    }
  }
  line += u", \"Desk, Front\" <ident" + number(identity) + u"@CONTOSO.com>";
  return line;
}

// A realistic 4 KB internet header block: a relay chain, the usual fields, and To and Cc
// lines with twenty recipients between them, folded with tabs and spaces.
Text headerBlock(int identity) {
  Text h;
  for (int hop = 0; hop < 6; ++hop) {
    h += u"Received: from mail" + number(hop) +
         u".relay.fabrikam.com (mail" + number(hop) + u".relay.fabrikam.com [10.1.2." +
         number(hop) + u"])\r\n\tby mx" + number(hop) +
         u".contoso.com (Postfix) with ESMTPS id 4F2A1B2C3D" + number(hop) +
         u"\r\n\tfor <ident" + number(identity) +
         u"@contoso.com>; Tue, 11 Jun 2024 09:1" + number(hop) + u":02 +0200 (CEST)\r\n";
  }
  h += u"DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=fabrikam.com; s=sel1;\r\n"
       u"\th=from:to:cc:subject:date:message-id; bh=47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=;"
       u"\r\n\tb=dGhpcyBpcyBub3QgYSByZWFsIHNpZ25hdHVyZSwganVzdCBmaWxsZXIgdGV4dCBmb3IgdGhl"
       u"\r\n\t IGJlbmNobWFyayBvZiB0aGUgaGVhZGVyIHJlYWRlcg==\r\n"
       u"From: \"Doe, Ann\" <ann.doe@fabrikam.com>\r\n";
  const Text all = recipientLine(identity);
  // The first twelve recipients on To, folded after every fourth; the rest on Cc.
  std::size_t cut = 0;
  for (int commas = 0; commas < 12; ++commas) cut = all.find(u", ", cut) + 2;
  Text to = all.substr(0, cut - 2);
  Text cc = all.substr(cut);
  for (std::size_t pos = 0, n = 0; (pos = to.find(u", ", pos)) != Text::npos; ++n) {
    to.replace(pos, 2, n % 4 == 3 ? u",\r\n\t" : u", ");
    pos += 2;
  }
  for (std::size_t pos = 0, n = 0; (pos = cc.find(u", ", pos)) != Text::npos; ++n) {
    cc.replace(pos, 2, n % 3 == 2 ? u",\r\n " : u", ");
    pos += 2;
  }
  h += u"To: " + to + u"\r\n";
  h += u"Cc: " + cc + u"\r\n";
  h += u"Subject: Re: Quarterly figures: draft 3, comments welcome\r\n"
       u"Date: Tue, 11 Jun 2024 09:10:58 +0200\r\n"
       u"Message-ID: <CAF=3kq9xYz+7eQ5L2mNq@mail.fabrikam.com>\r\n"
       u"In-Reply-To: <CAF=3kq9abc+1eQ5L2mNq@mail.contoso.com>\r\n"
       u"References: <CAF=3kq9abc+1eQ5L2mNq@mail.contoso.com>\r\n"
       u"\t<CAF=3kq9def+2eQ5L2mNq@mail.fabrikam.com>\r\n"
       u"MIME-Version: 1.0\r\n"
       u"Content-Type: multipart/alternative; boundary=\"000000000000a1b2c3d4e5f6\"\r\n"
       u"X-Spam-Status: No, score=-2.1 required=5.0 tests=BAYES_00,DKIM_SIGNED,DKIM_VALID,\r\n"
       u"\tDKIM_VALID_AU,HEADER_FROM_DIFFERENT_DOMAINS,SPF_HELO_NONE,SPF_PASS\r\n"
       u"X-Originating-IP: [203.0.113.7]\r\n";
  while (h.size() < 4096) h += u"X-Filler: padding to the size of a real header block\r\n";
  return h + u"\r\n";
}

// Header reading plus matching, as done for each arriving message.
void BM_HeadersAndMatch(benchmark::State& state) {
  const IdentityTable table = identities(50);
  const Text headers = headerBlock(37);
  for (auto _ : state) {
    const Text xrl = GetXRecipientList(headers);
    const Text list = GetToCcList(headers);
    const int row = FindIdentity(table, list.empty() ? xrl : list, xrl);
    benchmark::DoNotOptimize(row);
  }
  state.counters["header_chars"] = static_cast<double>(headers.size());
  state.counters["row"] = FindIdentity(table, GetToCcList(headers), u"");
}
BENCHMARK(BM_HeadersAndMatch)->Unit(benchmark::kMicrosecond);

// The same with the server's recipient list present, so it filters the header's list.
void BM_HeadersAndMatchWithRecipientList(benchmark::State& state) {
  const IdentityTable table = identities(50);
  const Text headers =
      u"X-RecipientList: person2@adventure-works.example;ident37@contoso.com\r\n" +
      headerBlock(37);
  for (auto _ : state) {
    const Text xrl = GetXRecipientList(headers);
    const Text list = GetToCcList(headers);
    const int row = FindIdentity(table, list.empty() ? xrl : list, xrl);
    benchmark::DoNotOptimize(row);
  }
}
BENCHMARK(BM_HeadersAndMatchWithRecipientList)->Unit(benchmark::kMicrosecond);

// FindIdentity alone over a twenty-recipient list, by number of identities; the matched
// identity is always the last row, the worst place for a walk through the table.
void BM_FindIdentity(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const IdentityTable table = identities(count);
  const Text list = GetToCcList(u"To: " + recipientLine(count - 1));
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindIdentity(table, list, u""));
  }
}
BENCHMARK(BM_FindIdentity)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kNanosecond);

}  // namespace
