// Cuts an SQL script into the statements that are sent to the database one at a time, counts them
// and keeps the FROM list of the last SELECT. It checks no syntax: leading keywords decide the cut.
#pragma once

#include "CommonTypes.h"

#include <cstddef>
#include <string_view>

class CParse {
public:
    CParse();
    virtual ~CParse();

    // Cuts the script; replaces the count, the table list, the starts and the texts.
    void Parse(const char* script);
    // The same for a script whose length is known; a NUL byte inside it is an ordinary character.
    void Parse(const char* script, size_t length);
    void Parse(const CString& script) { Parse(script.data(), script.size()); }

    // Blanks the first semicolon of the text that lies outside apostrophe quotes.
    void RemoveTerm(CString* text);
    // Blanks the terminators a statement opens with (the cut leaves the previous statement's ";" at
    // the head of the next one, which drivers such as SQLite's refuse); the length does not change.
    static void BlankLeadingTerms(CString* text);
    // The text a run sends for one statement: without the terminators the cut left at its head
    // (`cut`: the script was parsed), and with its own terminator blanked when `removeTerm` is set.
    CString ExecutableText(std::string_view statement, bool cut, bool removeTerm);
    // Whether Parse copies the texts into m_Statements (on by default); a run that keeps the script
    // alive reads m_Views instead and spares a copy of it.
    void SetCopyTexts(bool on) { m_CopyTexts = on; }
    // The one-line form of a statement for the history, and back.
    static CString Encoded(const char* text);
    static CString Decoded(const char* text);

    int m_Count = 0;
    CString m_Tables;
    // Offsets at which the accepted constructs begin, followed by one closing entry.
    CArray<size_t> m_Starts;
    CStringArray m_Statements;
    // The same texts as views into the script of the last Parse, valid while it lives unchanged.
    CArray<std::string_view> m_Views;
    const char* m_pCur = nullptr;

protected:
    // A token is a view into the script being parsed.
    using Token = std::string_view;

    // Points the lexer at a new text with clear flags.
    void StartText(const char* script, size_t length);
    // Reads the next token into buf; a null buf pushes the last token back. Returns the byte that
    // follows the token (1 to 255), or 0 at the end of the text.
    int Lexema(Token* buf);
    int SkipBlank();
    // Follows the statement that token begins; -1 when it begins none, 0 when the parse must stop.
    int SQLstmt(Token* token, int topLevel);

    int SelectStmt();
    int InsertStmt();
    int UpdateStmt();
    int DeleteStmt();
    int DropStmt();
    int ExecStmt();
    int GrantStmt();
    int RevokeStmt();
    int AlterStmt();
    int CreateStmt();
    int CreateTable();
    int CreateIndex();
    int CreateView();
    int CreateProcedure();
    int CreateTrigger();
    int CreateRule();
    int CreateDatabase();

    int Expression();
    int FieldList(int closing);
    int TableList();
    int ValuesList();
    int SetList();
    int OneFieldDescr();

    bool isKeyWord(Token token) const;
    bool isOPCODE(Token token) const;
    bool isTerm(Token token) const;

private:
    void ParseText(const char* script, size_t length);
    void CutTexts();
    size_t StartAt(size_t i) const;
    // Reads tokens until one equal to word has been read; 0 at the end of the text.
    int ReadUpTo(const char* word);
    // Reads tokens until a keyword, which is pushed back; 0 at the end of the text.
    int ReadUpToKeyWord();
    // Reads the rest of a name opened by a quote mark or a bracket; 0 at the end of the text.
    int ReadQuotedName(char closing, Token* last);
    size_t CandidateStart() const;

    bool m_CopyTexts = true;

    // Lexer state of this parser.
    const char* m_pText = nullptr;
    const char* m_pEnd = nullptr;
    bool m_EndOfText = false;
    bool m_PushBack = false;
    Token m_LastToken;
    int m_LastResult = 0;
    int m_Nesting = 0;
};
