#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "platform/card/CARDStore.h"
#include "platform/os/OS.h"

#include <cstring>

namespace {

// What an asynchronous call in flight will do when it completes.
struct CARDPending {
	CARDHostCall		kind;
	u32					pollsLeft;
	bool				forced;
	s32					forcedResult;
	char				name[CARD_FILENAME_MAX];
	u32					size;
	CARDFileInfo*		fileInfo;
	u8*					readBuffer;
	const u8*			writeBuffer;
	u32					length;
	u32					offset;
};

struct CARDChannel {
	CARDStore			store;
	bool				pulled;
	bool				mounted;
	CARDHostCardState	state;
	s32					checkResult;
	s32					resultCode;
	bool				busy;
	CARDPending			pending;
	bool				interruptArmed;
	u32					interruptBytes;
};

bool		initialised = false;
// Set by the first reset; CARDInit resets only a library never reset, so
// that what a test scripted before it stays.
bool		defaultsSet = false;
CARDChannel	channels[CARD_CHANNEL_COUNT];
u32			busyPolls[CARD_HOST_CALL_KINDS];
bool		nextPollsSet = false;
u32			nextPolls = 0;
bool		queued[CARD_HOST_CALL_KINDS];
s32			queuedResult[CARD_HOST_CALL_KINDS];
u32			callCounts[CARD_HOST_CALL_KINDS];
u32			asyncStarts = 0;
// Set while a synchronous call runs its asynchronous twin.
bool		synchronousCall = false;

bool ValidChannel( const s32 chan ) {
	return chan >= 0 && chan < CARD_CHANNEL_COUNT;
}

u32 Now() {
	return static_cast<u32>( OSTicksToSeconds( OSGetTime() ) );
}

bool Present( CARDChannel& channel, const s32 chan ) {
	CARDStoreFolderOf( chan, channel.store.folder );
	const bool present = !channel.pulled && CARDStoreFolderExists( channel.store.folder );
	if ( !present ) {
		channel.mounted = false;
	}
	return present;
}

s32 Finish( CARDChannel& channel, const s32 result ) {
	channel.resultCode = result;
	return result;
}

// A queued result for the next call of the kind, taken; false if none.
bool TakeQueued( const CARDHostCall kind, s32& result ) {
	callCounts[kind]++;
	if ( !queued[kind] ) {
		return false;
	}
	queued[kind] = false;
	result = queuedResult[kind];
	return true;
}

// CARD_RESULT_READY when the channel's card is mounted.
s32 NeedMounted( CARDChannel& channel, const s32 chan ) {
	if ( !Present( channel, chan ) || !channel.mounted ) {
		return CARD_RESULT_NOCARD;
	}
	return CARD_RESULT_READY;
}

s32 CheckName( const char* name ) {
	if ( name == nullptr || name[0] == 0 ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	return strnlen( name, CARD_FILENAME_MAX + 1 ) > CARD_FILENAME_MAX ? CARD_RESULT_NAMETOOLONG : CARD_RESULT_READY;
}

// The channel of an open file record, or -1 when the record is not one.
s32 ChannelOf( const CARDFileInfo* info ) {
	if ( info == nullptr || !ValidChannel( info->chan ) || info->fileNo < 0 ||
		 info->fileNo >= static_cast<s32>( CARD_MAX_FILE ) || !channels[info->chan].store.used[info->fileNo] ) {
		return -1;
	}
	return info->chan;
}

// Starts an asynchronous call; the checks at the start have passed.
s32 Start( CARDChannel& channel, const CARDPending& pending ) {
	channel.pending = pending;
	if ( !synchronousCall ) {
		channel.pending.pollsLeft = nextPollsSet ? nextPolls : busyPolls[pending.kind];
		nextPollsSet = false;
		asyncStarts++;
	}
	channel.busy = true;
	channel.resultCode = CARD_RESULT_BUSY;
	return CARD_RESULT_READY;
}

// Begins an asynchronous call of a kind: busy, a queued result (started
// with no effect) or the result of the start's own checks.
bool Begin( CARDChannel& channel, const CARDHostCall kind, s32& result ) {
	if ( channel.busy ) {
		callCounts[kind]++;
		result = CARD_RESULT_BUSY;
		return false;
	}
	s32 forced = 0;
	if ( TakeQueued( kind, forced ) ) {
		CARDPending pending = {};
		pending.kind = kind;
		pending.forced = true;
		pending.forcedResult = forced;
		result = Start( channel, pending );
		return false;
	}
	return true;
}

bool Broken( const CARDChannel& channel ) {
	return channel.store.broken || channel.state == CARD_HOST_CARD_BROKEN;
}

s32 CompleteMount( CARDChannel& channel, const s32 chan ) {
	if ( !Present( channel, chan ) ) {
		return CARD_RESULT_NOCARD;
	}
	CARDStoreLoad( channel.store );
	channel.mounted = true;
	if ( Broken( channel ) ) {
		return CARD_RESULT_BROKEN;
	}
	return channel.state == CARD_HOST_CARD_ENCODING ? CARD_RESULT_ENCODING : CARD_RESULT_READY;
}

s32 CompleteCheck( CARDChannel& channel, const s32 chan ) {
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY || !Broken( channel ) ) {
		return mounted;
	}
	if ( channel.checkResult != CARD_RESULT_READY ) {
		return channel.checkResult;
	}
	// Repaired: what could not be read is gone.
	channel.state = CARD_HOST_CARD_GOOD;
	channel.store.broken = false;
	return CARDStoreSaveDirectory( channel.store ) ? CARD_RESULT_READY : CARD_RESULT_IOERROR;
}

s32 CompleteCreate( CARDChannel& channel, const s32 chan ) {
	const CARDPending& pending = channel.pending;
	CARDStore& store = channel.store;
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return mounted;
	}
	if ( CARDStoreFind( store, pending.name ) >= 0 ) {
		return CARD_RESULT_EXIST;
	}
	s32 fileNo = -1;
	for ( u32 i = 0; i < CARD_MAX_FILE && fileNo < 0; i++ ) {
		fileNo = store.used[i] ? -1 : static_cast<s32>( i );
	}
	if ( fileNo < 0 ) {
		return CARD_RESULT_NOENT;
	}
	if ( channel.state == CARD_HOST_CARD_FULL || pending.size / store.sectorSize > CARDStoreFreeSectors( store ) ) {
		return CARD_RESULT_INSSPACE;
	}
	CARDStat& stat = store.stat[fileNo];
	std::memset( &stat, 0, sizeof( stat ) );
	std::memcpy( stat.fileName, pending.name, CARD_FILENAME_MAX );
	stat.length = pending.size;
	stat.time = Now();
	stat.commentAddr = CARD_STAT_ADDRESS_NONE;
	stat.iconAddr = CARD_STAT_ADDRESS_NONE;
	store.used[fileNo] = true;
	if ( !CARDStoreCreateFile( store, fileNo ) || !CARDStoreSaveDirectory( store ) ) {
		store.used[fileNo] = false;
		CARDStoreRemoveFile( store, fileNo );
		return CARD_RESULT_IOERROR;
	}
	*pending.fileInfo = { chan, fileNo, 0, static_cast<s32>( pending.size ) };
	return CARD_RESULT_READY;
}

// Read and write: the card still there, the file still on it.
s32 FileStillThere( CARDChannel& channel, const s32 chan ) {
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return mounted;
	}
	return channel.store.used[channel.pending.fileInfo->fileNo] ? CARD_RESULT_READY : CARD_RESULT_NOFILE;
}

s32 CompleteWrite( CARDChannel& channel, const s32 chan ) {
	const CARDPending& pending = channel.pending;
	const s32 there = FileStillThere( channel, chan );
	if ( there != CARD_RESULT_READY ) {
		return there;
	}
	const s32 fileNo = pending.fileInfo->fileNo;
	if ( channel.interruptArmed ) {
		channel.interruptArmed = false;
		const u32 kept = channel.interruptBytes < pending.length ? channel.interruptBytes : pending.length;
		CARDStoreWriteFile( channel.store, fileNo, pending.writeBuffer, kept, pending.offset );
		channel.pulled = true;
		channel.mounted = false;
		return CARD_RESULT_NOCARD;
	}
	if ( !CARDStoreWriteFile( channel.store, fileNo, pending.writeBuffer, pending.length, pending.offset ) ) {
		return CARD_RESULT_IOERROR;
	}
	channel.store.stat[fileNo].time = Now();
	return CARDStoreSaveDirectory( channel.store ) ? CARD_RESULT_READY : CARD_RESULT_IOERROR;
}

s32 CompleteRead( CARDChannel& channel, const s32 chan ) {
	const CARDPending& pending = channel.pending;
	const s32 there = FileStillThere( channel, chan );
	if ( there != CARD_RESULT_READY ) {
		return there;
	}
	return CARDStoreReadFile( channel.store, pending.fileInfo->fileNo, pending.readBuffer, pending.length, pending.offset )
			   ? CARD_RESULT_READY
			   : CARD_RESULT_IOERROR;
}

s32 CompleteDelete( CARDChannel& channel, const s32 chan ) {
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return mounted;
	}
	const s32 fileNo = CARDStoreFind( channel.store, channel.pending.name );
	if ( fileNo < 0 ) {
		return CARD_RESULT_NOFILE;
	}
	CARDStoreRemoveFile( channel.store, fileNo );
	channel.store.used[fileNo] = false;
	return CARDStoreSaveDirectory( channel.store ) ? CARD_RESULT_READY : CARD_RESULT_IOERROR;
}

s32 Complete( CARDChannel& channel, const s32 chan ) {
	const CARDPending& pending = channel.pending;
	if ( pending.forced ) {
		return pending.forcedResult;
	}
	switch ( pending.kind ) {
		case CARD_HOST_CALL_MOUNT:	return CompleteMount( channel, chan );
		case CARD_HOST_CALL_CHECK:	return CompleteCheck( channel, chan );
		case CARD_HOST_CALL_CREATE:	return CompleteCreate( channel, chan );
		case CARD_HOST_CALL_WRITE:	return CompleteWrite( channel, chan );
		case CARD_HOST_CALL_READ:	return CompleteRead( channel, chan );
		case CARD_HOST_CALL_DELETE:	return CompleteDelete( channel, chan );
		default:					return CARD_RESULT_FATAL_ERROR;
	}
}

// Ends at once a call its synchronous twin started (synchronousCall set).
s32 CompleteNow( const s32 chan, const s32 started ) {
	synchronousCall = false;
	if ( started != CARD_RESULT_READY ) {
		return started;
	}
	channels[chan].busy = false;
	return Finish( channels[chan], Complete( channels[chan], chan ) );
}

// Checks shared by reads and writes of an open file: the record, the
// card, the units and the file's end.
s32 CheckTransfer( const CARDFileInfo* info, const void* buffer, const s32 length, const s32 offset, const u32 unit ) {
	const s32 chan = ChannelOf( info );
	if ( chan < 0 || buffer == nullptr || length <= 0 || offset < 0 ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return mounted;
	}
	const u32 step = unit != 0 ? unit : channel.store.sectorSize;
	if ( static_cast<u32>( length ) % step != 0 || static_cast<u32>( offset ) % step != 0 ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	const u64 end = static_cast<u64>( length ) + static_cast<u64>( offset );
	return end > channel.store.stat[info->fileNo].length ? CARD_RESULT_LIMIT : CARD_RESULT_READY;
}

// A call that takes an open file record: ChannelOf's channel, or -1.
s32 FileCall( const CARDFileInfo* info ) {
	return ChannelOf( info );
}

} // namespace

void CARDInit() {
	if ( !defaultsSet ) {
		CARDHostReset();
	}
	initialised = true;
	char folders[CARD_CHANNEL_COUNT][CARD_STORE_FOLDER_MAX];
	bool any = false;
	for ( s32 chan = 0; chan < CARD_CHANNEL_COUNT; chan++ ) {
		CARDStoreFolderOf( chan, folders[chan] );
		any = any || CARDStoreFolderExists( folders[chan] );
	}
	if ( !any ) {
		CARDStoreMakeFolder( folders[CARD_SLOT_A] );
	}
	for ( s32 chan = 0; chan < CARD_CHANNEL_COUNT; chan++ ) {
		CARDChannel& channel = channels[chan];
		if ( Present( channel, chan ) ) {
			CARDStoreLoad( channel.store );
		}
	}
}

s32 CARDProbeEx( const s32 chan, s32* memSize, s32* sectorSize ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 forced = 0;
	if ( TakeQueued( CARD_HOST_CALL_PROBE, forced ) ) {
		return Finish( channel, forced );
	}
	if ( !Present( channel, chan ) ) {
		return Finish( channel, CARD_RESULT_NOCARD );
	}
	if ( !channel.mounted ) {
		CARDStoreLoad( channel.store );
	}
	const u64 bytes = static_cast<u64>( channel.store.sectors ) * channel.store.sectorSize;
	if ( memSize != nullptr ) {
		*memSize = static_cast<s32>( bytes * 8 / ( 1024 * 1024 ) );
	}
	if ( sectorSize != nullptr ) {
		*sectorSize = static_cast<s32>( channel.store.sectorSize );
	}
	return Finish( channel, CARD_RESULT_READY );
}

s32 CARDMountAsync( const s32 chan, void* workArea ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_MOUNT, result ) ) {
		return result;
	}
	if ( workArea == nullptr ) {
		return Finish( channel, CARD_RESULT_FATAL_ERROR );
	}
	if ( !Present( channel, chan ) ) {
		return Finish( channel, CARD_RESULT_NOCARD );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_MOUNT;
	return Start( channel, pending );
}

s32 CARDMount( const s32 chan, void* workArea ) {
	synchronousCall = true;
	return CompleteNow( chan, CARDMountAsync( chan, workArea ) );
}

s32 CARDUnmount( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 forced = 0;
	if ( TakeQueued( CARD_HOST_CALL_UNMOUNT, forced ) ) {
		return Finish( channel, forced );
	}
	const bool present = Present( channel, chan );
	channel.mounted = false;
	return Finish( channel, present ? CARD_RESULT_READY : CARD_RESULT_NOCARD );
}

s32 CARDCheckAsync( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_CHECK, result ) ) {
		return result;
	}
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return Finish( channel, mounted );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_CHECK;
	return Start( channel, pending );
}

s32 CARDCheck( const s32 chan ) {
	synchronousCall = true;
	return CompleteNow( chan, CARDCheckAsync( chan ) );
}

s32 CARDFormat( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 forced = 0;
	if ( channel.busy ) {
		return CARD_RESULT_BUSY;
	}
	if ( TakeQueued( CARD_HOST_CALL_FORMAT, forced ) ) {
		return Finish( channel, forced );
	}
	const s32 mounted = NeedMounted( channel, chan );
	if ( mounted != CARD_RESULT_READY ) {
		return Finish( channel, mounted );
	}
	for ( u32 i = 0; i < CARD_MAX_FILE; i++ ) {
		if ( channel.store.used[i] ) {
			CARDStoreRemoveFile( channel.store, static_cast<s32>( i ) );
			channel.store.used[i] = false;
		}
	}
	channel.state = CARD_HOST_CARD_GOOD;
	channel.store.broken = false;
	return Finish( channel, CARDStoreSaveDirectory( channel.store ) ? CARD_RESULT_READY : CARD_RESULT_IOERROR );
}

s32 CARDCreateAsync( const s32 chan, const char* fileName, const u32 size, CARDFileInfo* fileInfo ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_CREATE, result ) ) {
		return result;
	}
	s32 checked = NeedMounted( channel, chan );
	if ( checked == CARD_RESULT_READY ) {
		checked = CheckName( fileName );
	}
	if ( checked == CARD_RESULT_READY && ( fileInfo == nullptr || size == 0 || size % channel.store.sectorSize != 0 ) ) {
		checked = CARD_RESULT_FATAL_ERROR;
	}
	if ( checked != CARD_RESULT_READY ) {
		return Finish( channel, checked );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_CREATE;
	std::memcpy( pending.name, fileName, strnlen( fileName, CARD_FILENAME_MAX ) );
	pending.size = size;
	pending.fileInfo = fileInfo;
	return Start( channel, pending );
}

s32 CARDOpen( const s32 chan, const char* fileName, CARDFileInfo* fileInfo ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 forced = 0;
	if ( TakeQueued( CARD_HOST_CALL_OPEN, forced ) ) {
		return Finish( channel, forced );
	}
	s32 checked = NeedMounted( channel, chan );
	if ( checked == CARD_RESULT_READY ) {
		checked = CheckName( fileName );
	}
	if ( checked == CARD_RESULT_READY && fileInfo == nullptr ) {
		checked = CARD_RESULT_FATAL_ERROR;
	}
	if ( checked != CARD_RESULT_READY ) {
		return Finish( channel, checked );
	}
	const s32 fileNo = CARDStoreFind( channel.store, fileName );
	if ( fileNo < 0 ) {
		return Finish( channel, CARD_RESULT_NOFILE );
	}
	*fileInfo = { chan, fileNo, 0, static_cast<s32>( channel.store.stat[fileNo].length ) };
	return Finish( channel, CARD_RESULT_READY );
}

s32 CARDClose( CARDFileInfo* fileInfo ) {
	const s32 chan = FileCall( fileInfo );
	s32 forced = 0;
	if ( TakeQueued( CARD_HOST_CALL_CLOSE, forced ) ) {
		return chan >= 0 ? Finish( channels[chan], forced ) : forced;
	}
	if ( chan < 0 ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	fileInfo->chan = -1;
	return Finish( channels[chan], CARD_RESULT_READY );
}

s32 CARDReadAsync( CARDFileInfo* fileInfo, void* buffer, const s32 length, const s32 offset ) {
	const s32 chan = FileCall( fileInfo );
	if ( chan < 0 ) {
		callCounts[CARD_HOST_CALL_READ]++;
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_READ, result ) ) {
		return result;
	}
	const s32 checked = CheckTransfer( fileInfo, buffer, length, offset, CARD_READ_SIZE );
	if ( checked != CARD_RESULT_READY ) {
		return Finish( channel, checked );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_READ;
	pending.fileInfo = fileInfo;
	pending.readBuffer = static_cast<u8*>( buffer );
	pending.length = static_cast<u32>( length );
	pending.offset = static_cast<u32>( offset );
	return Start( channel, pending );
}

s32 CARDWriteAsync( CARDFileInfo* fileInfo, const void* buffer, const s32 length, const s32 offset ) {
	const s32 chan = FileCall( fileInfo );
	if ( chan < 0 ) {
		callCounts[CARD_HOST_CALL_WRITE]++;
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_WRITE, result ) ) {
		return result;
	}
	const s32 checked = CheckTransfer( fileInfo, buffer, length, offset, 0 );
	if ( checked != CARD_RESULT_READY ) {
		return Finish( channel, checked );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_WRITE;
	pending.fileInfo = fileInfo;
	pending.writeBuffer = static_cast<const u8*>( buffer );
	pending.length = static_cast<u32>( length );
	pending.offset = static_cast<u32>( offset );
	return Start( channel, pending );
}

s32 CARDDeleteAsync( const s32 chan, const char* fileName ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( !Begin( channel, CARD_HOST_CALL_DELETE, result ) ) {
		return result;
	}
	s32 checked = NeedMounted( channel, chan );
	if ( checked == CARD_RESULT_READY ) {
		checked = CheckName( fileName );
	}
	if ( checked != CARD_RESULT_READY ) {
		return Finish( channel, checked );
	}
	CARDPending pending = {};
	pending.kind = CARD_HOST_CALL_DELETE;
	std::memcpy( pending.name, fileName, strnlen( fileName, CARD_FILENAME_MAX ) );
	return Start( channel, pending );
}

// Checks of the status calls; the file number when they pass.
static s32 StatusCall( const CARDHostCall kind, const s32 chan, const s32 fileNo, const void* stat, s32& result ) {
	if ( !ValidChannel( chan ) ) {
		result = CARD_RESULT_FATAL_ERROR;
		return -1;
	}
	CARDChannel& channel = channels[chan];
	if ( TakeQueued( kind, result ) ) {
		result = Finish( channel, result );
		return -1;
	}
	result = NeedMounted( channel, chan );
	if ( result == CARD_RESULT_READY && ( stat == nullptr || fileNo < 0 || fileNo >= static_cast<s32>( CARD_MAX_FILE ) ) ) {
		result = CARD_RESULT_FATAL_ERROR;
	}
	if ( result == CARD_RESULT_READY && !channel.store.used[fileNo] ) {
		result = CARD_RESULT_NOFILE;
	}
	Finish( channel, result );
	return result == CARD_RESULT_READY ? fileNo : -1;
}

s32 CARDGetStatus( const s32 chan, const s32 fileNo, CARDStat* stat ) {
	s32 result = 0;
	if ( StatusCall( CARD_HOST_CALL_GET_STATUS, chan, fileNo, stat, result ) >= 0 ) {
		*stat = channels[chan].store.stat[fileNo];
	}
	return result;
}

s32 CARDSetStatus( const s32 chan, const s32 fileNo, const CARDStat* stat ) {
	s32 result = 0;
	if ( StatusCall( CARD_HOST_CALL_SET_STATUS, chan, fileNo, stat, result ) < 0 ) {
		return result;
	}
	CARDStore& store = channels[chan].store;
	CARDStat& kept = store.stat[fileNo];
	kept.time = Now();
	kept.commentAddr = stat->commentAddr;
	kept.iconAddr = stat->iconAddr;
	kept.iconFormat = stat->iconFormat;
	kept.iconSpeed = stat->iconSpeed;
	kept.bannerFormat = stat->bannerFormat;
	return Finish( channels[chan], CARDStoreSaveDirectory( store ) ? CARD_RESULT_READY : CARD_RESULT_IOERROR );
}

s32 CARDFreeBlocks( const s32 chan, s32* bytesNotUsed, s32* filesNotUsed ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	s32 result = 0;
	if ( TakeQueued( CARD_HOST_CALL_FREE_BLOCKS, result ) ) {
		return Finish( channel, result );
	}
	result = NeedMounted( channel, chan );
	if ( result != CARD_RESULT_READY ) {
		return Finish( channel, result );
	}
	const CARDStore& store = channel.store;
	const u32 freeSectors = channel.state == CARD_HOST_CARD_FULL ? 0 : CARDStoreFreeSectors( store );
	s32 freeFiles = 0;
	for ( u32 i = 0; i < CARD_MAX_FILE; i++ ) {
		freeFiles += store.used[i] ? 0 : 1;
	}
	if ( bytesNotUsed != nullptr ) {
		*bytesNotUsed = static_cast<s32>( freeSectors * store.sectorSize );
	}
	if ( filesNotUsed != nullptr ) {
		*filesNotUsed = freeFiles;
	}
	return Finish( channel, CARD_RESULT_READY );
}

s32 CARDGetResultCode( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_RESULT_FATAL_ERROR;
	}
	CARDChannel& channel = channels[chan];
	if ( !channel.busy ) {
		return channel.resultCode;
	}
	if ( channel.pending.pollsLeft > 0 ) {
		channel.pending.pollsLeft--;
		return CARD_RESULT_BUSY;
	}
	channel.busy = false;
	return Finish( channel, Complete( channel, chan ) );
}

// ---------------------------------------------------------------------------
// Host controls.
// ---------------------------------------------------------------------------

bool CARDHostIsInitialised() {
	return initialised;
}

void CARDHostReset() {
	initialised = false;
	defaultsSet = true;
	for ( CARDChannel& channel : channels ) {
		std::memset( &channel, 0, sizeof( channel ) );
		channel.state = CARD_HOST_CARD_GOOD;
		channel.store.sectorSize = CARD_HOST_DEFAULT_SECTOR_SIZE;
		channel.store.sectors = CARD_HOST_DEFAULT_SECTORS;
	}
	for ( u32 kind = 0; kind < CARD_HOST_CALL_KINDS; kind++ ) {
		busyPolls[kind] = CARD_HOST_DEFAULT_BUSY_POLLS;
		queued[kind] = false;
		callCounts[kind] = 0;
	}
	nextPollsSet = false;
	asyncStarts = 0;
}

bool CARDHostInsertCard( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return false;
	}
	CARDChannel& channel = channels[chan];
	CARDStoreFolderOf( chan, channel.store.folder );
	channel.pulled = false;
	return CARDStoreMakeFolder( channel.store.folder );
}

void CARDHostPullCard( const s32 chan ) {
	if ( ValidChannel( chan ) ) {
		channels[chan].pulled = true;
		channels[chan].mounted = false;
	}
}

const char* CARDHostCardFolder( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return "";
	}
	CARDStoreFolderOf( chan, channels[chan].store.folder );
	return channels[chan].store.folder;
}

void CARDHostSetCardState( const s32 chan, const CARDHostCardState state ) {
	if ( ValidChannel( chan ) ) {
		channels[chan].state = state;
	}
}

CARDHostCardState CARDHostGetCardState( const s32 chan ) {
	if ( !ValidChannel( chan ) ) {
		return CARD_HOST_CARD_GOOD;
	}
	return channels[chan].store.broken ? CARD_HOST_CARD_BROKEN : channels[chan].state;
}

void CARDHostSetCheckResult( const s32 chan, const s32 result ) {
	if ( ValidChannel( chan ) ) {
		channels[chan].checkResult = result;
	}
}

void CARDHostSetBusyPolls( const CARDHostCall kind, const u32 polls ) {
	if ( kind < CARD_HOST_CALL_KINDS ) {
		busyPolls[kind] = polls;
	}
}

void CARDHostSetNextBusyPolls( const u32 polls ) {
	nextPollsSet = true;
	nextPolls = polls;
}

void CARDHostQueueResult( const CARDHostCall kind, const s32 result ) {
	if ( kind < CARD_HOST_CALL_KINDS ) {
		queued[kind] = true;
		queuedResult[kind] = result;
	}
}

void CARDHostArmInterruptedWrite( const s32 chan, const u32 bytesKept ) {
	if ( ValidChannel( chan ) ) {
		channels[chan].interruptArmed = true;
		channels[chan].interruptBytes = bytesKept;
	}
}

u32 CARDHostCallCount( const CARDHostCall kind ) {
	return kind < CARD_HOST_CALL_KINDS ? callCounts[kind] : 0;
}

u32 CARDHostAsyncStartCount() {
	return asyncStarts;
}

bool CARDHostIsBusy( const s32 chan ) {
	return ValidChannel( chan ) && channels[chan].busy;
}
