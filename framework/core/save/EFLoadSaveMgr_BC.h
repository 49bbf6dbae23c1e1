/*
===============================================================================

	Portable half of the memory-card save manager: the queue of card
	actions, advanced one step a frame, the buffers handed to and from
	logic and the two callbacks.

	An action is a command word followed by its argument words; the words
	are pointer-sized, since arguments carry names and data. Command word,
	low 32 bits: the id in bits 0-23, the argument count in bits 24-27, a
	mark that makes GetAction remember the id (bit 30), and "finished out
	of order" (bit 31, skipped at the head). The last argument of a command
	that works in steps is its step counter, 0 when queued.

	The queue's 128 words start empty in the middle (tail, head and current
	at 64), so actions can be appended behind and pushed in front: a
	command pushes its sub-actions in front of itself and resumes, at its
	next step, once they are done.

	Buffers the manager frees always have their pointer cleared, so a
	second free or a read after Clean finds null.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_MGR_BC_H
#define EF_LOAD_SAVE_MGR_BC_H

#include "framework/core/save/EFLoadSaveBuff.h"
#include "framework/logic/api/LogicModuleAPI.h"

#include <cstdint>

// A word of the action queue.
typedef uintptr_t EFLoadSaveWord;

constexpr u32 EF_LS_QUEUE_WORDS			= 128;
constexpr s32 EF_LS_QUEUE_MIDDLE		= 64;
constexpr u32 EF_LS_DIRECTORY_ENTRIES	= 128;

// Command word fields.
constexpr u32 EF_LS_COMMAND_ID_MASK		= 0x00FFFFFF;
constexpr u32 EF_LS_ARGC_SHIFT			= 24;
constexpr u32 EF_LS_ARGC_MASK			= 0x0F000000;
constexpr u32 EF_LS_COMMAND_MARK		= 0x40000000;
constexpr u32 EF_LS_COMMAND_FINISHED	= 0x80000000;

// RegisterAction modes; any mode but EF_LS_APPEND pushes in front.
constexpr s32 EF_LS_APPEND				= 1;
constexpr s32 EF_LS_PUSH				= 0;

// Status flags.
constexpr u32 EF_LS_STATUS_ERROR		= 1;
constexpr u32 EF_LS_STATUS_DONE			= 2;

// Errors of the manager's own (the card library's are negative).
constexpr s32 EF_LS_ERROR_CORRUPT_FILE	= 1;
constexpr s32 EF_LS_ERROR_DOES_NOT_FIT	= -9;
constexpr s32 EF_LS_ERROR_UNSUPPORTED	= -128;

enum EFLoadSaveCommand {
	EF_LS_CMD_CREATE_DIRECTORY		= 1,
	EF_LS_CMD_CHANGE_DIRECTORY		= 2,
	EF_LS_CMD_GET_DIRECTORY			= 3,
	EF_LS_CMD_COMPUTE_CHECKSUM		= 4,
	EF_LS_CMD_VERIFY_CHECKSUM		= 5,
	EF_LS_CMD_DELETE_FILE			= 6,
	EF_LS_CMD_DELETE_DIRECTORY		= 7,
	EF_LS_CMD_DELETE_ALL_FILES		= 8,
	EF_LS_CMD_WRITE					= 9,
	EF_LS_CMD_READ					= 10,
	EF_LS_CMD_IS_MY_FILE_FIT		= 11,
	EF_LS_CMD_GET_CARD_STATUS		= 12,
	EF_LS_CMD_SET_WORKING_CARD		= 13,
	EF_LS_CMD_FORMAT_CARD			= 14,
	EF_LS_CMD_OPEN_FILE				= 16,
	EF_LS_CMD_CLOSE_FILE			= 17,
	EF_LS_CMD_WRITE_FILE			= 18,
	EF_LS_CMD_READ_FILE				= 19,
	EF_LS_CMD_DELETE				= 20,
	EF_LS_CMD_READ_SAVE_GAME		= 25,
	EF_LS_CMD_WRITE_SAVE_GAME		= 26,
	EF_LS_CMD_MOUNT					= 28,
	EF_LS_CMD_CHECK					= 29
};

// A command word of id with argc argument words.
constexpr EFLoadSaveWord EFLoadSaveCommandWord( const u32 id, const u32 argc ) {
	return ( id & EF_LS_COMMAND_ID_MASK ) | ( ( argc << EF_LS_ARGC_SHIFT ) & EF_LS_ARGC_MASK );
}

class EFLoadSaveMgr_BC : public EFLoadSaveBuff {
public:
							EFLoadSaveMgr_BC();
							~EFLoadSaveMgr_BC() override;

	// Copies the command word and its argument words into the queue,
	// behind the tail (EF_LS_APPEND) or in front of the head: 1, or 0 when
	// the queue has no room on that side.
	u32						RegisterAction( const void* action, s32 mode );
	// The id of the action at the head (finished ones skipped), now the
	// current one; 0 when none is left.
	u32						GetAction();
	// The head's command word; its arguments follow.
	EFLoadSaveWord*			GetArgPtr();
	// 1 while actions are queued; else the indices go back to the middle.
	u32						IsAction();
	// Removes the current action: 0 when the queue is empty, else 1.
	u32						UnRegisterAction();
	void					ResetAction();

	// Empties the queue, calls the error callback, then Clean.
	void					ProcessError();
	// Calls the completion callback, then Clean.
	void					CommandsCompleted();
	// Frees the second and the read buffer, and the temporary buffers a
	// larger request replaced.
	void					Clean();

	// Stored checksum = CRC-32 of the data to write; 0.
	u32						ComputeCheckSum();

	// A buffer for logic of at least size bytes, kept until destroyed; a
	// larger request moves the contents to a new buffer.
	void*					GetUserTempBuffer( s32 size );
	void					DestroyUserTempBuffer();
	void					DestroyReadBuffer();
	void					SetErrorCallBack( LogicSaveCallbackFn callBack );
	void					SetCompleteCallBack( LogicSaveCallbackFn callBack );

	// Clears names, buffers, flags, the directory, the queue and both
	// callbacks, then SpecificInitialize.
	u32						Initialize();
	void					Update();

	// What logic reads of the manager.
	void*					GetReadBuffer() const { return mpvReadBuffer; }
	u32						GetStatus() const { return mui32Status; }
	s32						GetError() const { return mi32LastError; }
	FILEDESCRIPTOR*			GetFileDescriptor() { return moDirectory; }
	// The id of the action being worked on (0 when none).
	u32						GetLastAction() const;
	u32						GetDataSize() const { return mui32DataSize; }

	virtual void			SpecificUpdate() = 0;
	virtual u32				SpecificInitialize() = 0;
	virtual u32				SpecificTerminate() = 0;
	virtual u32				CreateDirectory( EFLoadSaveWord* action ) = 0;
	virtual u32				ChangeDirectory( EFLoadSaveWord* action ) = 0;
	virtual u32				DeleteDirectory( EFLoadSaveWord* action ) = 0;
	virtual u32				Write( EFLoadSaveWord* action ) = 0;
	virtual u32				Read( EFLoadSaveWord* action ) = 0;
	virtual u32				ReadSaveGame( EFLoadSaveWord* action ) = 0;
	virtual u32				WriteSaveGame( EFLoadSaveWord* action ) = 0;
	virtual u32				DeleteFile( EFLoadSaveWord* action ) = 0;
	virtual u32				DeleteAllFiles( EFLoadSaveWord* action ) = 0;
	virtual u32				GetDirectory( EFLoadSaveWord* action ) = 0;
	virtual u32				IsMyFileFit( EFLoadSaveWord* action ) = 0;
	// Always 0.
	virtual u32				GetFreeMem();
	// Compares the read data's CRC with the stored checksum: a mismatch
	// sets the error flag with error 1; returns 0.
	virtual u32				VerifyCheckSum();
	virtual u32				GetLastCommand() = 0;

protected:
	// Records a failure: the error flag and the error.
	void					SetError( s32 error );
	// Argument index of an action (0 past its argument count).
	static EFLoadSaveWord	Arg( const EFLoadSaveWord* action, u32 index );
	static u32				ArgCount( const EFLoadSaveWord* action );
	void					FreeReadBuffer();

	char*					mpcFileName;
	const void*				mpvData;
	void*					mpvReadBuffer;
	void*					mpvSecondBuffer;
	u32						mui32DataSize;
	u32						mui32Status;
	s32						mi32LastError;
	FILEDESCRIPTOR			moDirectory[EF_LS_DIRECTORY_ENTRIES];
	u32						mui32CheckSum;
	EFLoadSaveWord			mauiQueue[EF_LS_QUEUE_WORDS];
	s32						mi32Tail;
	s32						mi32Head;
	s32						mi32Current;
	u32						mui32MarkedCommand;
	// Logic's temporary buffer (user bytes after a small header), and the
	// chain of those a larger request replaced, freed when the queue is
	// next worked off (a queued write may still point into one).
	u8*						mpui8UserTempBuffer;
	u8*						mpui8ReplacedTempBuffers;
	LogicSaveCallbackFn		mpfnErrorCallBack;
	LogicSaveCallbackFn		mpfnCompleteCallBack;

private:
	void					CallBack( LogicSaveCallbackFn callBack );
	void					FreeReplacedTempBuffers();
};

#endif
