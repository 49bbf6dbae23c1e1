/*
===============================================================================

	Memory-card half of the save manager: every queued command carried out
	with the card library, one step a frame, never waiting. A step that
	starts a card call records its command as pending and returns 1; the
	frame the channel stops being busy, the command is called again to read
	the result. The first failure ends the whole queue.

	Card file (one per save, big-endian):
		   0	data length L
		   4	comment, 64 bytes (two 32-character lines)
		  68	icon, 32 x 32 RGB5A3 ("icon.rgb" from the disc, 2048 bytes)
		2116	L bytes of data, then the data's CRC-32, zeros to the end
	The written image is ((icon size + L + 72) / sector + 1) sectors; a file
	created for it ((L + 2120) / sector + 1) sectors.

===============================================================================
*/
#ifndef EF_LOAD_SAVE_MGR_GC_H
#define EF_LOAD_SAVE_MGR_GC_H

#include "framework/core/save/EFLoadSaveMgr_BC.h"
#include "platform/card/CARD.h"

// Open mode that creates the file.
constexpr u32 EF_LS_OPEN_CREATE			= 515;
constexpr u32 EF_LS_OPEN_EXISTING		= 0;
constexpr u32 EF_LS_COMMENT_BYTES		= 64;
constexpr u32 EF_LS_ICON_BYTES			= 2048;
constexpr u32 EF_LS_COMMENT_OFFSET		= 4;
constexpr u32 EF_LS_ICON_OFFSET			= 68;
// Bytes of a card file besides the icon and the data: length, comment,
// checksum.
constexpr u32 EF_LS_FILE_OVERHEAD		= 72;
// Where a read takes the data, and a file's bytes besides the data.
constexpr u32 EF_LS_DATA_OFFSET			= EF_LS_ICON_OFFSET + EF_LS_ICON_BYTES;
constexpr u32 EF_LS_FILE_FIXED_BYTES	= EF_LS_DATA_OFFSET + 4;
constexpr const char* EF_LS_ICON_FILE	= "icon.rgb";

class EFLoadSaveMgr_SP : public EFLoadSaveMgr_BC {
public:
							EFLoadSaveMgr_SP();
							~EFLoadSaveMgr_SP() override;

	void					SpecificUpdate() override;
	u32						SpecificInitialize() override;
	// Frees the icon; 1.
	u32						SpecificTerminate() override;
	u32						CreateDirectory( EFLoadSaveWord* action ) override;
	u32						ChangeDirectory( EFLoadSaveWord* action ) override;
	u32						DeleteDirectory( EFLoadSaveWord* action ) override;
	u32						Write( EFLoadSaveWord* action ) override;
	u32						Read( EFLoadSaveWord* action ) override;
	u32						ReadSaveGame( EFLoadSaveWord* action ) override;
	u32						WriteSaveGame( EFLoadSaveWord* action ) override;
	u32						DeleteFile( EFLoadSaveWord* action ) override;
	u32						DeleteAllFiles( EFLoadSaveWord* action ) override;
	u32						GetDirectory( EFLoadSaveWord* action ) override;
	u32						IsMyFileFit( EFLoadSaveWord* action ) override;
	u32						GetLastCommand() override;

	u32						FormatCard( EFLoadSaveWord* action );
	u32						SetWorkingMemoryCard( EFLoadSaveWord* action );
	u32						GetCardStatus( EFLoadSaveWord* action );
	u32						OpenFile( EFLoadSaveWord* action );
	u32						CloseFile( EFLoadSaveWord* action );
	u32						WriteFile( EFLoadSaveWord* action );
	u32						ReadFile( EFLoadSaveWord* action );
	u32						Delete( EFLoadSaveWord* action );
	u32						Mount( EFLoadSaveWord* action );
	u32						Check( EFLoadSaveWord* action );

	// Copies 64 bytes: two 32-character lines, the first possibly ended
	// by a NUL, so no string-bounded copy.
	void					SetComment( const char* comment );
	// Back to the console's menu.
	void					GoToMemCardManager( unsigned long );
	// Error 1 unless the read file's comment starts with a character.
	u32						VerifyCommentIntegrity();
	// Error 1 unless the read file's icon is the disc's.
	u32						VerifyIconIntegrity();

	// Append their commands: 1, or 0 when the queue is full.
	u32						RegisterFormatCard();
	u32						RegisterSetWorkingMemoryCard( s32 port, s32 slot );
	u32						RegisterGetCardStatus();

	s32						GetChannel() const { return mi32Channel; }

private:
	// Calls the handler of a command: 1 still working, 0 done.
	u32						Dispatch( u32 id, EFLoadSaveWord* action );
	// A card call started: records the pending command, sets the step.
	u32						Started( u32 id, EFLoadSaveWord* action, u32 step );
	// A failure: error and flag set, the card unmounted; 0.
	u32						Fail( s32 error );
	// Pushes sub-actions (command ids) in front so they run in this
	// order; false when the queue has no room.
	bool					PushInOrder( const u32* ids, u32 count );
	// After pushing sub-actions: the next step and 1, or a failure when the
	// queue had no room.
	u32						Pushed( bool pushed, EFLoadSaveWord& step, u32 next );
	// Loads "icon.rgb" once; false without it.
	bool					LoadIcon();
	void					FreeWriteImage();
	void					FreeReadImage();

	u32						mui32OpenMode;
	s32						mi32Channel;
	s32						mi32MemSize;
	s32						mi32SectorSize;
	CARDFileInfo			moFileInfo;
	char					macComment[EF_LS_COMMENT_BYTES];
	u8*						mpui8IconData;
	u32						mui32IconSize;
	u8*						mpui8WriteImage;
	u8*						mpui8ReadImage;
	u32						mui32ReadImageSize;
	s32						mi32FreeBytes;
	s32						mi32FreeFiles;
	void*					mpvWorkArea;
	u32						mui32PendingCommand;
	u32						mui32LastCommand;
};

#endif
