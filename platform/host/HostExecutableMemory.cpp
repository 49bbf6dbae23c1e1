#include "platform/host/HostExecutableMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace {

u32 gLiveBlocks = 0;

u64 PageRounded( const u64 bytes ) {
	const long page = sysconf( _SC_PAGESIZE );
	const u64 pageBytes = page > 0 ? static_cast<u64>( page ) : 4096u;
	const u64 wanted = bytes != 0 ? bytes : 1;
	if ( wanted > UINT64_MAX - ( pageBytes - 1 ) ) {
		return 0;
	}
	return ( wanted + pageBytes - 1 ) / pageBytes * pageBytes;
}

} // namespace

void* HostAllocExecutable( const u64 bytes ) {
	const u64 length = PageRounded( bytes );
	if ( length == 0 ) {
		return nullptr;
	}
	void* block = mmap( nullptr, length, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0 );
	if ( block == MAP_FAILED ) {
		std::fprintf( stderr, "host: executable mapping of %llu bytes refused\n", static_cast<unsigned long long>( bytes ) );
		return nullptr;
	}
	gLiveBlocks++;
	return block;
}

void HostFreeExecutable( void* block, const u64 bytes ) {
	if ( block == nullptr ) {
		return;
	}
	if ( munmap( block, PageRounded( bytes ) ) == 0 && gLiveBlocks > 0 ) {
		gLiveBlocks--;
	}
}

void HostSyncExecutable( void* block, const u64 bytes ) {
	if ( block == nullptr ) {
		return;
	}
	char* begin = static_cast<char*>( block );
	__builtin___clear_cache( begin, begin + bytes );
}

u32 HostExecutableBlockCount() {
	return gLiveBlocks;
}
