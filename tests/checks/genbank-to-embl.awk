# GenBank to EMBL, as much as the readers take: ID, AC, DE, OS, the feature
# table behind "FT" and the bases after SQ (first record only).
/^LOCUS/ { length_ = $3 }
/^ACCESSION/ { acc = $2 }
/^DEFINITION/ { sub(/^DEFINITION +/, ""); de = $0 }
/^SOURCE/ { sub(/^SOURCE +/, ""); os = $0 }
/^FEATURES/ { part = "ft"; next }
/^ORIGIN/ { part = "sq"; next }
/^\/\// { part = "" }
part == "ft" { ft = ft "FT" substr($0, 3) "\n" }
part == "sq" { $1 = ""; sq = sq "    " $0 "\n" }
END {
  printf "ID   %s; SV 1; circular; genomic DNA; STD; UNC; %s BP.\nXX\nAC   %s;\nXX\nDE   %s\nXX\nOS   %s\nXX\n", acc, length_, acc, de, os
  printf "FH   Key             Location/Qualifiers\nFH\n%sXX\nSQ   Sequence %s BP;\n%s//\n", ft, length_, sq
}
