#include "framework/logic/api/LogicApiTables.h"

#include "datatypes/file/DTConsoleReset.h"
#include "framework/core/engine/EFCommandLine.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/logic/api/LogicApiTable.h"

#include <initializer_list>

/*
	Card commands are queued and carried out over the following frames: a
	name, a data block or a text handed to a queueing slot is read when its
	command runs, so it must live until the completion or the error callback
	has been called. A command the full queue refuses is dropped; the slots
	return nothing.
*/

namespace {

bool bDone = false;

// Longest action a slot queues: the command word and seven arguments.
constexpr u32 LOAD_SAVE_ACTION_WORDS = 8;
constexpr u32 PRODUCT_CODE_BYTES = 256;

// Appends the command with its arguments, the step counter (0) last.
void Queue( const u32 command, std::initializer_list<EFLoadSaveWord> arguments ) {
	EFLoadSaveWord words[LOAD_SAVE_ACTION_WORDS] = {};
	const u32 argc = static_cast<u32>( arguments.size() ) + 1;
	words[0] = EFLoadSaveCommandWord( command, argc );
	u32 index = 1;
	for ( const EFLoadSaveWord argument : arguments ) {
		words[index++] = argument;
	}
	goLoadSaveMgr.RegisterAction( words, EF_LS_APPEND );
}

EFLoadSaveWord Word( const void* pointer ) {
	return reinterpret_cast<EFLoadSaveWord>( pointer );
}

// Sizes and flags travel as their 32-bit pattern.
EFLoadSaveWord Word( const s32 value ) {
	return static_cast<u32>( value );
}

void CreateDirectory( char* name ) {
	Queue( EF_LS_CMD_CREATE_DIRECTORY, { Word( name ) } );
}

void ChangeDirectory( char* name ) {
	Queue( EF_LS_CMD_CHANGE_DIRECTORY, { Word( name ) } );
}

void DeleteDirectory( char* name ) {
	Queue( EF_LS_CMD_DELETE_DIRECTORY, { Word( name ) } );
}

void Write( char* name, void* data, s32 size, s32 a, s32 mode ) {
	Queue( EF_LS_CMD_WRITE, { Word( name ), Word( data ), Word( size ), Word( a ), Word( mode ), 0 } );
}

void WriteSaveGame( char* name, char* a, char* b ) {
	Queue( EF_LS_CMD_WRITE_SAVE_GAME, { Word( name ), Word( a ), Word( b ) } );
}

void Read( char* name, s32 size, s32 a ) {
	Queue( EF_LS_CMD_READ, { Word( name ), Word( size ), Word( a ) } );
}

void ReadSaveGame( char* name, char* b ) {
	static const char szNoText[] = "";
	Queue( EF_LS_CMD_READ_SAVE_GAME, { Word( name ), Word( szNoText ), Word( b ) } );
}

void DeleteFile( char* name ) {
	Queue( EF_LS_CMD_DELETE_FILE, { Word( name ) } );
}

void DeleteAllFiles() {
	Queue( EF_LS_CMD_DELETE_ALL_FILES, {} );
}

void GetDirectory( char* name ) {
	Queue( EF_LS_CMD_GET_DIRECTORY, { Word( name ) } );
}

void IsMyFileFit( s32 size ) {
	Queue( EF_LS_CMD_IS_MY_FILE_FIT, { Word( size ) } );
}

void SetErrorCallBack( LogicSaveCallbackFn function ) {
	goLoadSaveMgr.SetErrorCallBack( function );
}

void SetCompleteCallBack( LogicSaveCallbackFn function ) {
	goLoadSaveMgr.SetCompleteCallBack( function );
}

s32 GetLastCommand() {
	return static_cast<s32>( goLoadSaveMgr.GetLastCommand() & EF_LS_COMMAND_ID_MASK );
}

s32 GetLastAction() {
	return static_cast<s32>( goLoadSaveMgr.GetLastAction() & EF_LS_COMMAND_ID_MASK );
}

s32 GetError() {
	return goLoadSaveMgr.GetError();
}

s32 GetStatus() {
	return static_cast<s32>( goLoadSaveMgr.GetStatus() );
}

void* GetReadBuffer() {
	return goLoadSaveMgr.GetReadBuffer();
}

void DestroyReadBuffer() {
	goLoadSaveMgr.DestroyReadBuffer();
}

void SetWorkingMemoryCard( s32 port, s32 slot ) {
	goLoadSaveMgr.RegisterSetWorkingMemoryCard( port, slot );
}

s32 ReturnZero() {
	return 0;
}

s32 GetSlotActuel() {
	return goLoadSaveMgr.GetChannel();
}

void TransferIcons() {
}

void FormatCard() {
	goLoadSaveMgr.RegisterFormatCard();
}

void GetCardStatus() {
	goLoadSaveMgr.RegisterGetCardStatus();
}

PS2CARDINFO* GetCardInfoBuffer() {
	return nullptr;
}

FILEDESCRIPTOR* GetFileDescriptor() {
	return goLoadSaveMgr.GetFileDescriptor();
}

char* GetProductCode() {
	static char szProductCode[PRODUCT_CODE_BYTES];
	char value[INI_TOKEN_BUFFER] = {};
	EFIniFile::GetInstance()->GetIniString( "ProductCode", value );
	EFCopyBounded( szProductCode, sizeof( szProductCode ), value, "PRODUCT CODE" );
	return szProductCode;
}

void GoToMemCardManager( u32 code ) {
	goLoadSaveMgr.GoToMemCardManager( code );
}

void SetCommentGC( char* comment ) {
	goLoadSaveMgr.SetComment( comment );
}

void GetWorkingMemoryCardName( char*, s32 ) {
}

void* GetTempBuffer( s32 size ) {
	return goLoadSaveMgr.GetUserTempBuffer( size );
}

void DestroyTempBuffer() {
	goLoadSaveMgr.DestroyUserTempBuffer();
}

u32 GetFreeMem() {
	return 0;
}

void EnableReset( u32 enable ) {
	gui32EnableReset = enable;
}

}

void ApiLoadSaveNotInit() {
	bDone = true;
}

bool ApiLoadSaveNotInitDone() {
	return bDone;
}

constexpr _api_loadsave APILoadSaveStubs = MakeLogicApiStubs<_api_loadsave, ApiLoadSaveNotInit>();
constinit _api_loadsave APILoadSave = MakeLogicApiStubs<_api_loadsave, ApiLoadSaveNotInit>();

void Init_loadsave() {
	InitAPI( &APILoadSave, LOGIC_API_LOAD_SAVE_SLOTS, &APILoadSaveStubs );
	APILoadSave.CreateDirectory = CreateDirectory;
	APILoadSave.ChangeDirectory = ChangeDirectory;
	APILoadSave.DeleteDirectory = DeleteDirectory;
	APILoadSave.Write = Write;
	APILoadSave.WriteSaveGame = WriteSaveGame;
	APILoadSave.Read = Read;
	APILoadSave.ReadSaveGame = ReadSaveGame;
	APILoadSave.DeleteFile = DeleteFile;
	APILoadSave.DeleteAllFiles = DeleteAllFiles;
	APILoadSave.GetDirectory = GetDirectory;
	APILoadSave.IsMyFileFit = IsMyFileFit;
	APILoadSave.SetErrorCallBack = SetErrorCallBack;
	APILoadSave.SetCompleteCallBack = SetCompleteCallBack;
	APILoadSave.GetLastCommand = GetLastCommand;
	APILoadSave.GetLastAction = GetLastAction;
	APILoadSave.GetError = GetError;
	APILoadSave.GetStatus = GetStatus;
	APILoadSave.GetReadBuffer = GetReadBuffer;
	APILoadSave.DestroyReadBuffer = DestroyReadBuffer;
	APILoadSave.SetWorkingMemoryCard = SetWorkingMemoryCard;
	APILoadSave.GetPortActuel = ReturnZero;
	APILoadSave.GetSlotActuel = GetSlotActuel;
	APILoadSave.TransferIcons = TransferIcons;
	APILoadSave.FormatCard = FormatCard;
	APILoadSave.GetCardStatus = GetCardStatus;
	APILoadSave.GetPort1CardInfoBuffer = GetCardInfoBuffer;
	APILoadSave.GetPort2CardInfoBuffer = GetCardInfoBuffer;
	APILoadSave.GetPort1ActiveMemoryCard = ReturnZero;
	APILoadSave.GetPort2ActiveMemoryCard = ReturnZero;
	APILoadSave.GetFileDescriptor = GetFileDescriptor;
	APILoadSave.GetProductCode = GetProductCode;
	APILoadSave.GoToMemCardManager = GoToMemCardManager;
	APILoadSave.SetCommentGC = SetCommentGC;
	APILoadSave.GetWorkingMemoryCardName = GetWorkingMemoryCardName;
	APILoadSave.GetTempBuffer = GetTempBuffer;
	APILoadSave.DestroyTempBuffer = DestroyTempBuffer;
	APILoadSave.GetFreeMem = GetFreeMem;
	APILoadSave.EnableReset = EnableReset;
}
