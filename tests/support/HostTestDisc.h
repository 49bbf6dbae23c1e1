/*
===============================================================================

	A temporary disc for tests that run on the host stand-ins.

	Open makes a fresh scratch folder with a "disc" folder inside it,
	points the host settings' disc folder there and their memory-card
	folder at its "card" folder (the card library makes the slots), and
	starts the host from a clean state: no pending events, the virtual clock at 0, the disc
	library reset and initialised and, when asked, the video interface
	reset and initialised, the controllers reset and every engine file
	handle closed. Close undoes all of it in the reverse order, restores
	the environment's settings and removes the folder; it is safe to call
	when Open failed part-way or was never called, and the destructor
	calls it for a disc still open.

	Files are written below the disc folder with the tools library's file
	writer, which creates the folders on the way. A test that asks gets a
	"write" folder beside the disc as the disc write folder, with the
	engine's write hook installed as start-up installs it; otherwise the
	write folder is unset and no hook is installed, as on the console.

===============================================================================
*/
#ifndef HOST_TEST_DISC_H
#define HOST_TEST_DISC_H

#include "Engine/implementation/GC/EIDiscWrite.h"
#include "datatypes/file/DTFile.h"
#include "platform/dvd/DVD.h"
#include "platform/dvd/DVDHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/host/HostSettings.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"
#include "support/TestScratchFolder.h"
#include "tools/lib/ToolFile.h"

#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

// What a test disc starts besides the disc library.
struct HostTestDiscSetup {
	// Start of the scratch folder's name; six random characters follow.
	const char*	prefix = "host_test_disc_";
	// Reset and start the video interface and reset the controllers.
	bool		console = true;
	// Close every engine file handle on open and on close.
	bool		closeFiles = true;
	// Make the disc write folder and install the write hook.
	bool		writeFolder = false;
	// Changes to the settings, made before anything is reset.
	void		( *edit )( HostSettings& settings ) = nullptr;
};

// Settings edit for tests that need an NTSC television whatever the
// environment says.
inline void HostTestDiscUseNtsc( HostSettings& settings ) {
	settings.tvFormat = HOST_TV_NTSC;
}

class HostTestDisc {
public:
								HostTestDisc() = default;
								HostTestDisc( const HostTestDisc& ) = delete;
	HostTestDisc&				operator=( const HostTestDisc& ) = delete;
								~HostTestDisc() {
									if ( IsOpen() ) {
										Close();
									}
								}

	// Makes the folder and resets the host; false when the folder cannot
	// be made or its path does not fit the settings.
	bool						Open( const HostTestDiscSetup& setup = HostTestDiscSetup() ) {
		if ( IsOpen() ) {
			Close();
		}
		used = setup;
		if ( !root.Make( setup.prefix != nullptr ? setup.prefix : "" ) ) {
			return false;
		}
		const std::filesystem::path disc = DiscFolder();
		std::string error;
		HostSettings settings = HostGetSettings();
		const std::string& discText = disc.native();
		if ( !ToolMakeFolders( disc, error ) || discText.size() >= sizeof( settings.discFolder ) ) {
			return false;
		}
		std::memcpy( settings.discFolder, discText.c_str(), discText.size() + 1 );
		settings.discWriteFolder[0] = '\0';
		if ( setup.writeFolder ) {
			const std::string writeText = WriteFolder().native();
			if ( !ToolMakeFolders( WriteFolder(), error ) || writeText.size() >= sizeof( settings.discWriteFolder ) ) {
				return false;
			}
			std::memcpy( settings.discWriteFolder, writeText.c_str(), writeText.size() + 1 );
		}
		// Memory cards beside the disc; the card library makes the slots.
		const std::string cardText = ( root / "card" ).native();
		if ( cardText.size() >= sizeof( settings.cardFolder ) ) {
			return false;
		}
		std::memcpy( settings.cardFolder, cardText.c_str(), cardText.size() + 1 );
		if ( setup.edit != nullptr ) {
			setup.edit( settings );
		}
		HostSettingsOverride( settings );

		HostResetEvents();
		HostClockUseVirtual( 0 );
		DVDHostReset();
		DVDInit();
		if ( setup.console ) {
			// Disc reads wait on retraces; without them the virtual clock
			// never moves while a read is in flight.
			VIHostReset();
			VIInit();
			PADHostReset();
		}
		if ( setup.closeFiles ) {
			CloseAllFiles();
		}
		EIInstallDiscWriteHook();
		return true;
	}

	// Closes the files, resets the host, restores the environment's
	// settings and removes the folder.
	void						Close() {
		if ( used.closeFiles ) {
			CloseAllFiles();
		}
		if ( used.console ) {
			VIHostReset();
		}
		DVDHostReset();
		if ( used.console ) {
			PADHostReset();
		}
		HostResetEvents();
		DTSetFileWriteHook( nullptr );
		HostSettingsReload();
		root.Remove();
	}

	bool						IsOpen() const { return root.IsMade(); }

	// The temporary folder; the disc folder is its "disc" folder.
	const std::filesystem::path&	Root() const { return root.Path(); }
	std::filesystem::path		DiscFolder() const { return root / "disc"; }
	// The disc write folder, when the setup asked for one.
	std::filesystem::path		WriteFolder() const { return root / "write"; }

	// Writes bytes to path below the disc folder, creating its folders.
	bool						WriteFile( const std::string& path, const std::span<const u8> bytes ) const {
		std::string error;
		return IsOpen() && ToolWriteFile( DiscFolder() / path, bytes, error );
	}

	// Writes text byte for byte to path below the disc folder.
	bool						WriteText( const std::string& path, const std::string_view text ) const {
		std::string error;
		return IsOpen() && ToolWriteTextFile( DiscFolder() / path, text, error );
	}

	// Closes every engine file handle; closed ones are left as they are.
	static void					CloseAllFiles() {
		for ( DTFileHandle_& handle : gFileHandleArray ) {
			DTFclose( &handle );
		}
	}

private:
	TestScratchFolder			root;
	HostTestDiscSetup			used;
};

#endif
